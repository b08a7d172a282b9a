#include "res/resources.h"

#include <span>

#include "res/german_resources.h"

namespace {

const LumikartaResourceTable* g_pCurrent = nullptr;

template <typename Resource>
const Resource* FindById(std::span<const Resource> resources, uint32_t id) {
    for (const Resource& resource : resources) {
        if (resource.id == id) {
            return &resource;
        }
    }
    return nullptr;
}

// The entry of the current table, else the built-in German one.
template <typename Resource>
const Resource* FindResource(std::span<const Resource> (*entries)(const LumikartaResourceTable&),
                             uint32_t id) {
    if (const Resource* found = FindById(entries(CurrentResources()), id)) {
        return found;
    }
    return FindById(entries(GermanResources()), id);
}

std::span<const LumikartaStringResource> Strings(const LumikartaResourceTable& table) {
    return {table.strings, table.stringCount};
}

std::span<const LumikartaDialogTemplate> Dialogs(const LumikartaResourceTable& table) {
    return {table.dialogs, table.dialogCount};
}

std::span<const LumikartaImageResource> Icons(const LumikartaResourceTable& table) {
    return {table.icons, table.iconCount};
}

}  // namespace

const LumikartaResourceTable& CurrentResources() {
    return g_pCurrent ? *g_pCurrent : GermanResources();
}

void UseResources(const LumikartaResourceTable& table) {
    g_pCurrent = &table;
}

std::string LoadResString(uint32_t id) {
    const LumikartaStringResource* entry = FindResource(Strings, id);
    return entry && entry->text ? entry->text : "";
}

const LumikartaDialogTemplate* LoadDialogTemplate(uint32_t id) {
    return FindResource(Dialogs, id);
}

const LumikartaImageResource* LoadIconResource(uint32_t id) {
    return FindResource(Icons, id);
}
