#include <cstdlib>

#include "platform/common_app_data.h"

namespace platform {

std::string CommonAppDataFolder() {
    const char* value = std::getenv("LUMIKARTA_COMMON_APPDATA");
    // /var/cache rather than /var/lib: what lies there can be fetched again, and the program never
    // writes it.
    return value != nullptr && *value != '\0' ? std::string(value) : std::string("/var/cache");
}

}  // namespace platform
