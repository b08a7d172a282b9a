// Feeds arbitrary bytes to the registry text reader, then reads every key and value of the hive
// the way the registry walker does, so lazily parsed value lines are exercised too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hive/hive_tree.h"
#include "platform/hive/registry_text_parser.h"
#include "platform/hive/registry_text_writer.h"

namespace {

void Visit(const platform::HiveTree& hive, platform::HiveTree::KeyId key, int depth) {
    for (const auto& value : hive.Values(key)) {
        (void)hive.FindValue(key, value.name);
    }
    if (depth > 200) {
        return;
    }
    for (const auto child : hive.Subkeys(key)) {
        (void)hive.FindChild(key, hive.KeyName(child));
        Visit(hive, child, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every format header in turn, so the fuzzer need not find them itself.
    static const char* const kHeaders[] = {"", "Windows Registry Editor Version 5.00\n", "REGEDIT4\n",
                                           "WINE REGISTRY Version 2\n#arch=win64\n"};
    const std::string body(reinterpret_cast<const char*>(data), size);
    const std::size_t choice = size > 0 ? data[0] % 4 : 0;
    platform::HiveTree hive;
    platform::LoadRegistryText(std::string(kHeaders[choice]) + body, platform::RegRoot::LocalMachine, hive);
    Visit(hive, platform::HiveTree::kRootKey, 0);
    // What is written must read back without trouble.
    platform::HiveTree copy;
    platform::LoadRegistryText(platform::WriteRegistryText(hive, "HKEY_LOCAL_MACHINE"),
                               platform::RegRoot::LocalMachine, copy);
    Visit(copy, platform::HiveTree::kRootKey, 0);
    return 0;
}
