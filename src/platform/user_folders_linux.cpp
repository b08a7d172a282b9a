#include "platform/user_folders_linux.h"

#include <cstdlib>

namespace platform {

std::filesystem::path PathFromEnvironment(const char* name, const std::filesystem::path& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value) : fallback;
}

std::filesystem::path HomeFolder() {
    return PathFromEnvironment("HOME", "/");
}

std::filesystem::path UserConfigFolder() {
    return PathFromEnvironment("XDG_CONFIG_HOME", HomeFolder() / ".config");
}

}  // namespace platform
