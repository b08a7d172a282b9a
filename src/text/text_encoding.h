#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversions into the program's one text encoding, UTF-8. Broken input (a lone surrogate, an odd
// byte count) yields U+FFFD instead of being dropped, so a reader can see that something was there.
void AppendUtf8(std::string& out, char32_t codePoint);
std::string Utf16ToUtf8(std::u16string_view text);
std::string Utf16LeBytesToUtf8(std::string_view bytes);
std::string Utf16BeBytesToUtf8(std::string_view bytes);
std::string Latin1ToUtf8(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
bool IsValidUtf8(std::string_view text);
// The character whose UTF-8 sequence starts at text[i], advancing i past it; none for a byte that
// starts no valid sequence (i then moves on by that one byte).
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i);
