#include <cstdlib>
#include <filesystem>

#include "platform/hive/hive_registry.h"
#include "platform/platform_registry.h"

namespace platform {

namespace {

// The variable's value as a path, or `fallback` when it is unset or empty.
std::filesystem::path FromEnvironment(const char* name, const std::filesystem::path& fallback = {}) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value) : fallback;
}

std::filesystem::path HomeFolder() {
    return FromEnvironment("HOME", "/");
}

// HKEY_LOCAL_MACHINE: the file named by LUMIKARTA_HKLM, else the machine hive of the Wine prefix
// the user works with, else none (an empty registry).
std::filesystem::path MachineHiveFile() {
    const std::filesystem::path file = FromEnvironment("LUMIKARTA_HKLM");
    if (!file.empty()) {
        return file;
    }
    const std::filesystem::path wine = FromEnvironment("WINEPREFIX", HomeFolder() / ".wine") / "system.reg";
    std::error_code error;
    return std::filesystem::is_regular_file(wine, error) ? wine : std::filesystem::path();
}

std::filesystem::path UserHiveFile() {
    return FromEnvironment("LUMIKARTA_HKCU", FromEnvironment("XDG_CONFIG_HOME", HomeFolder() / ".config") /
                                                 "Lumikarta" / "user.reg");
}

}  // namespace

std::unique_ptr<Registry> CreatePlatformRegistry() {
    return std::make_unique<HiveRegistry>(MachineHiveFile(), UserHiveFile());
}

}  // namespace platform
