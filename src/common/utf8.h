#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest start of `text` that has at most maxBytes bytes and does not end inside a UTF-8
// sequence, so a cut text stays valid UTF-8.
std::string CutUtf8(std::string_view text, std::size_t maxBytes);
