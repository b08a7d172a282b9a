#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Registry names compare without regard to case. Folded are ASCII letters and the Latin-1 letters
// (German umlauts among them) in their UTF-8 form; other characters compare as they are.
bool RegNameEquals(std::string_view a, std::string_view b);
uint64_t RegNameHash(std::string_view name, uint64_t seed);

// Windows and Wine hand out subkeys sorted: Wine compares the UTF-16 units of the names with their
// letters lowered (so "_" comes before "A", and "Ä" after "z"), a name before its continuations.
// Lowered are the letters of ASCII and Latin-1 and the basic Greek and Cyrillic ones; others (rare
// in key names) compare as they are.
bool RegNameSortsBefore(std::string_view a, std::string_view b);

}  // namespace platform
