#include "res/resources.h"

#include "res/german_resources.h"

namespace {

const LumikartaResourceTable* g_pCurrent = nullptr;

const char* FindString(const LumikartaResourceTable& table, uint32_t id) {
    for (uint32_t i = 0; i < table.stringCount; ++i) {
        if (table.strings[i].id == id) {
            return table.strings[i].text;
        }
    }
    return nullptr;
}

}  // namespace

const LumikartaResourceTable& CurrentResources() {
    return g_pCurrent ? *g_pCurrent : GermanResources();
}

void UseResources(const LumikartaResourceTable& table) {
    g_pCurrent = &table;
}

std::string LoadResString(uint32_t id) {
    const char* text = FindString(CurrentResources(), id);
    if (!text) {
        text = FindString(GermanResources(), id);
    }
    return text ? text : "";
}
