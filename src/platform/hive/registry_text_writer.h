#pragma once

#include <string>

#include "platform/hive/hive_tree.h"

namespace platform {

// The hive as a regedit 5 export in UTF-8 with every key below `rootName` (for example
// "HKEY_CURRENT_USER"), which LoadRegistryText reads back to the same keys and values.
std::string WriteRegistryText(const HiveTree& hive, std::string_view rootName);

}  // namespace platform
