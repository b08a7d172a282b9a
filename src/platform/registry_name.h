#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Registry names compare without regard to case. Folded are ASCII letters and the Latin-1 letters
// (German umlauts among them) in their UTF-8 form; other characters compare as they are.
bool RegNameEquals(std::string_view a, std::string_view b);
uint64_t RegNameHash(std::string_view name, uint64_t seed);

}  // namespace platform
