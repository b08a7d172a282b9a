#pragma once

#include <filesystem>

namespace platform {

// The variable's value as a path, or `fallback` when it is unset or empty.
std::filesystem::path PathFromEnvironment(const char* name, const std::filesystem::path& fallback = {});
// HOME, else the root folder.
std::filesystem::path HomeFolder();
// Where the user's settings are kept: XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path UserConfigFolder();

}  // namespace platform
