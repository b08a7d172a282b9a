#include <windows.h>

#include <string>

#include "platform/wide_text_windows.h"
#include "res/resource_library.h"

namespace {

// A library of another layout or without the table function is unloaded again.
const LumikartaResourceTable* TableOf(HMODULE library) {
    if (library == nullptr) {
        return nullptr;
    }
    const auto resources = reinterpret_cast<LumikartaResourcesFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "LumikartaSystemInfoResources")));
    const LumikartaResourceTable* table = resources ? resources() : nullptr;
    if (!table || table->version != kResourceTableVersion) {
        FreeLibrary(library);
        return nullptr;
    }
    return table;
}

}  // namespace

const LumikartaResourceTable* LoadEnglishResourceLibrary(const std::filesystem::path& programFolder) {
    const std::string fileName = std::string(kEnglishLibraryName) + ".dll";
    HMODULE library = nullptr;
    if (!programFolder.empty()) {
        library = LoadLibraryW((programFolder / platform::WideFromUtf8(fileName)).c_str());
    }
    if (library == nullptr) {
        // The system's search order: the program's folder, the system folders, then PATH.
        library = LoadLibraryA(fileName.c_str());
    }
    return TableOf(library);
}
