#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The number that a sysfs attribute file holds on its first line: decimal ("17163091968"), or
// hexadecimal after "0x" ("0x030000"); none when the file cannot be read or holds no number.
std::optional<uint64_t> ReadSysfsNumber(std::string_view absolutePath);
