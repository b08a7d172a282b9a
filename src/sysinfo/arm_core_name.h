#pragma once

#include <optional>
#include <string>

// The marketing name of an ARM core from the ids its main ID register gives, as /proc/cpuinfo shows
// them ("CPU implementer", "CPU part"), for example "ARM Neoverse-N1". The maker's name with the
// part number when the maker is known but the part is not; none for an unknown maker.
std::optional<std::string> ArmCoreName(unsigned implementer, unsigned part);
