#pragma once

#include <cstdint>
#include <string_view>

// The name the OS line gives the edition code (the platform's PRODUCT_* number) of Windows
// major.minor, 6.0 or later: "Home Premium Edition" on Windows 7, "Pro" on Windows 11. Empty for a
// code that the table does not hold for that system: an edition is never guessed.
std::string_view WindowsEditionName(uint32_t code, uint32_t majorVersion, uint32_t minorVersion);
