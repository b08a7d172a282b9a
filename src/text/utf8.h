#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A byte inside a UTF-8 sequence (10xxxxxx), not the start of a character.
inline bool IsUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The longest start of `text` that has at most maxBytes bytes and does not end inside a UTF-8
// sequence, so a cut text stays valid UTF-8.
std::string CutUtf8(std::string_view text, std::size_t maxBytes);
// The first maxCharacters characters of `text`: limits that were set for one byte per character
// in the old code pages hold as many umlauts as letters.
std::string CutUtf8Characters(std::string_view text, std::size_t maxCharacters);
