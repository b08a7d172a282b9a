#include <cstdlib>
#include <filesystem>

#include "platform/hive_registry.h"
#include "platform/platform_registry.h"

namespace platform {

namespace {

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value) : std::filesystem::path();
}

std::filesystem::path HomeFolder() {
    const std::filesystem::path home = FromEnvironment("HOME");
    return home.empty() ? std::filesystem::path("/") : home;
}

// HKEY_LOCAL_MACHINE: the file named by LUMIKARTA_HKLM, else the machine hive of the Wine prefix
// the user works with, else none (an empty registry).
std::filesystem::path MachineHiveFile() {
    std::filesystem::path file = FromEnvironment("LUMIKARTA_HKLM");
    if (!file.empty()) {
        return file;
    }
    std::filesystem::path prefix = FromEnvironment("WINEPREFIX");
    if (prefix.empty()) {
        prefix = HomeFolder() / ".wine";
    }
    file = prefix / "system.reg";
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) ? file : std::filesystem::path();
}

std::filesystem::path UserHiveFile() {
    std::filesystem::path file = FromEnvironment("LUMIKARTA_HKCU");
    if (!file.empty()) {
        return file;
    }
    std::filesystem::path config = FromEnvironment("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = HomeFolder() / ".config";
    }
    return config / "Lumikarta" / "user.reg";
}

}  // namespace

std::unique_ptr<Registry> CreatePlatformRegistry() {
    return std::make_unique<HiveRegistry>(MachineHiveFile(), UserHiveFile());
}

}  // namespace platform
