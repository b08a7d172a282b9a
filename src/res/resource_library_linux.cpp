#include <dlfcn.h>

#include <string>

#include "res/resource_library.h"

namespace {

void* OpenLibrary(const std::string& file) {
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

const LumikartaResourceTable* LoadEnglishResourceLibrary(const std::filesystem::path& programFolder) {
    const std::string fileName = std::string(kEnglishLibraryName) + ".so";
    void* library = programFolder.empty() ? nullptr : OpenLibrary((programFolder / fileName).string());
    if (!library) {
        library = OpenLibrary(fileName);
    }
    if (!library) {
        return nullptr;
    }
    const auto resources =
        reinterpret_cast<LumikartaResourcesFunction>(dlsym(library, "LumikartaSystemInfoResources"));
    const LumikartaResourceTable* table = resources ? resources() : nullptr;
    if (!table || table->version != kResourceTableVersion) {
        dlclose(library);
        return nullptr;
    }
    return table;
}
