#include "faqdata/faq_store.h"

#include <climits>

CFAQStore* CFAQStore::s_pInstance = nullptr;

CFAQStore* CFAQStore::Instance() {
    if (!s_pInstance) {
        s_pInstance = new CFAQStore();
    }
    return s_pInstance;
}

void CFAQStore::DestroyInstance() {
    if (s_pInstance) {
        s_pInstance->Clear();
    }
    delete s_pInstance;
    s_pInstance = nullptr;
}

void CFAQStore::Clear() {
    entries.clear();
    categories.clear();
    subjectsDE.clear();
    subjectsEN.clear();
    cacheFilePath.clear();
}

const std::vector<std::string>& CFAQStore::SubjectsFor(std::string_view code) const {
    // English is the fall-back for every other language, so only the exact code picks German.
    return code == "de" ? subjectsDE : subjectsEN;
}

int CFAQStore::GetSubjectCount(std::string_view code) const {
    const std::size_t count = SubjectsFor(code).size();
    return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

std::string CFAQStore::GetSubject(std::string_view code, int index) const {
    const std::vector<std::string>& subjects = SubjectsFor(code);
    if (index < 0 || static_cast<std::size_t>(index) >= subjects.size()) {
        return {};
    }
    return subjects[static_cast<std::size_t>(index)];
}
