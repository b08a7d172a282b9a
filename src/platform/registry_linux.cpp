#include <filesystem>

#include "platform/hive/hive_registry.h"
#include "platform/platform_registry.h"
#include "platform/user_folders_linux.h"

namespace platform {

namespace {

// HKEY_LOCAL_MACHINE: the file named by LUMIKARTA_HKLM, else the machine hive of the Wine prefix
// the user works with, else none (an empty registry).
std::filesystem::path MachineHiveFile() {
    const std::filesystem::path file = PathFromEnvironment("LUMIKARTA_HKLM");
    if (!file.empty()) {
        return file;
    }
    const std::filesystem::path wine =
        PathFromEnvironment("WINEPREFIX", HomeFolder() / ".wine") / "system.reg";
    std::error_code error;
    return std::filesystem::is_regular_file(wine, error) ? wine : std::filesystem::path();
}

std::filesystem::path UserHiveFile() {
    return PathFromEnvironment("LUMIKARTA_HKCU", UserConfigFolder() / "Lumikarta" / "user.reg");
}

}  // namespace

std::unique_ptr<Registry> CreatePlatformRegistry() {
    return std::make_unique<HiveRegistry>(MachineHiveFile(), UserHiveFile());
}

}  // namespace platform
