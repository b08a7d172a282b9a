#pragma once

#include <string>

namespace platform {

// The machine-wide folder for application data that all users share (UTF-8); empty when the system
// cannot tell. LUMIKARTA_COMMON_APPDATA, when set, names another one.
std::string CommonAppDataFolder();

}  // namespace platform
