#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

// The bytes of base64 text as `base64` and `openssl base64` write it: the standard alphabet, "="
// padding to a multiple of four, line breaks and other ASCII white space anywhere. None for any other
// character, a misplaced or missing "=", or bits left over after the last byte, so that one text
// names exactly one byte sequence.
std::optional<std::vector<uint8_t>> DecodeBase64Text(std::string_view text);

}  // namespace platform
