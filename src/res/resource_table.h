#pragma once

#include <cstdint>

// The resources of one user-interface language as plain data, so a language can live in a separate
// library that exports a single function returning its table.
extern "C" {

struct LumikartaStringResource {
    uint32_t id;
    // UTF-8.
    const char* text;
};

struct LumikartaResourceTable {
    // kResourceTableVersion of the library's build; a library of another layout is not used.
    uint32_t version;
    const LumikartaStringResource* strings;
    uint32_t stringCount;
};

#ifdef _WIN32
#define LUMIKARTA_RESOURCES_EXPORT __declspec(dllexport)
#else
#define LUMIKARTA_RESOURCES_EXPORT __attribute__((visibility("default")))
#endif

// The one function a language library exports.
LUMIKARTA_RESOURCES_EXPORT const LumikartaResourceTable* LumikartaSystemInfoResources(void);
typedef const LumikartaResourceTable* (*LumikartaResourcesFunction)(void);
}

inline constexpr uint32_t kResourceTableVersion = 1;
