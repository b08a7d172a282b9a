#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A path from the program's UTF-8 text; on Windows a plain std::string would be read in the ANSI
// code page instead.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
