#include "faqdata/faq_store.h"

CFAQStore* CFAQStore::s_pInstance = nullptr;

CFAQStore* CFAQStore::Instance() {
    if (!s_pInstance) {
        s_pInstance = new CFAQStore();
    }
    return s_pInstance;
}

void CFAQStore::DestroyInstance() {
    delete s_pInstance;
    s_pInstance = nullptr;
}

bool CFAQStore::LoadCache() {
    return false;
}
