#include "registry/collect_leaf_paths.h"

#include "registry/reg_subkey_enum.h"

void CollectLeafPaths(CRegistryWalker& walker, std::vector<std::string>& list) {
    CRegSubkeyEnum subkeys(walker);
    subkeys.Start();
    if (subkeys.Done()) {
        list.push_back(walker.CurrentPath());
        return;
    }
    for (; !subkeys.Done(); subkeys.Next()) {
        if (walker.Push(subkeys.Name())) {
            CollectLeafPaths(walker, list);
            walker.Pop();
        }
    }
}
