#pragma once

#include <string>
#include <vector>

#include "registry/registry_walker.h"

// Appends the full paths of all keys without subkeys at or below the walker's top key, depth first,
// each level in the registry's enumeration order. Keys that cannot be opened are left out with
// their subtrees, and so is everything deeper than the walker's stack.
void CollectLeafPaths(CRegistryWalker& walker, std::vector<std::string>& list);
