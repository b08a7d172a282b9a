#pragma once

#include <filesystem>

#include "res/resource_table.h"

// The English language library's file name without the platform's suffix.
inline constexpr char kEnglishLibraryName[] = "LumikartaSystemInfoENU";

// Loads the English language library, from the program's own folder first, then by the platform's
// library search; it stays loaded until the process ends. Null when it cannot be found or loaded,
// or when it was built for another table layout.
const LumikartaResourceTable* LoadEnglishResourceLibrary(const std::filesystem::path& programFolder);
