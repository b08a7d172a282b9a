#pragma once

#include <string>
#include <string_view>

namespace platform {

// Texts are UTF-8 inside the program; the wide Windows calls take and give UTF-16.
// Invalid sequences become U+FFFD rather than failing, so a damaged name still shows.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace platform
