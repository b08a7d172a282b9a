#include <gtest/gtest.h>

#include "helpers/scoped_system_registry.h"
#include "registry/collect_leaf_paths.h"
#include "registry/reg_value_enum.h"
#include "registry/registry_walker.h"

namespace {

using platform::RegRoot;
using platform::SystemRegistry;

std::string Key(const std::string& path, const std::string& values = "") {
    return "[HKEY_LOCAL_MACHINE\\" + path + "]\n" + values + "\n";
}

std::vector<std::string> LeafPaths(platform::Registry& registry, const std::string& start) {
    CRegistryWalker walker(registry);
    std::vector<std::string> list;
    if (walker.Open(RegRoot::LocalMachine, start)) {
        CollectLeafPaths(walker, list);
    }
    return list;
}

// A key that cannot be opened, for its depth, its name's length or otherwise, is passed over and its
// siblings are still visited; so is a value too long for its field.
TEST(RegistryWalkerTest, CollectsLeafPathsDepthFirstDownToTheDepthOfItsStack) {
    // Appended piece by piece: GCC 12 at -O3 takes "\\" + std::to_string(...) for an overlapping copy
    // (-Wrestrict) that is none.
    std::string deepest = "S\\A";
    std::string tooDeep = "S\\B";
    for (int depth = 2; depth <= 127; ++depth) {
        deepest.append("\\").append(std::to_string(depth));
        tooDeep.append("\\").append(std::to_string(depth));
    }
    tooDeep.append("\\128");
    const std::string longName(256, 'n');
    // The platform enumerates subkeys sorted without regard to case, whatever order they came in.
    ScopedSystemRegistry registry(Key("S\\c\\Y") + Key(tooDeep) + Key("S\\C\\x\\1") +
                                  Key("S\\c\\" + longName) + Key(deepest) +
                                  Key("S\\D", "\"First\"=\"1\"\n\"Big\"=\"" + std::string(300, 'x') +
                                                  "\"\n\"" + longName + "\"=\"2\"\n\"VERSION\"=\"300\"\n"));
    EXPECT_EQ(LeafPaths(SystemRegistry(), "S"),
              (std::vector<std::string>{deepest, "S\\c\\x\\1", "S\\c\\Y", "S\\D"}));
    EXPECT_EQ(LeafPaths(SystemRegistry(), "S\\D"), (std::vector<std::string>{"S\\D"}));
    EXPECT_TRUE(LeafPaths(SystemRegistry(), "S\\Missing").empty());

    CRegistryWalker walker(SystemRegistry());
    ASSERT_TRUE(walker.Open(RegRoot::LocalMachine, "S"));
    EXPECT_FALSE(walker.Push("Missing"));
    ASSERT_TRUE(walker.Push("D"));
    EXPECT_EQ(walker.CurrentPath(), "S\\D");
    EXPECT_EQ(walker.Depth(), 1);
    std::vector<std::string> values;
    CRegValueEnum valueEnum(walker);
    for (valueEnum.Start(); !valueEnum.Done(); valueEnum.Next()) {
        values.push_back(valueEnum.Name() + "=" + valueEnum.DataText());
    }
    EXPECT_EQ(values, (std::vector<std::string>{"First=1", "VERSION=300"}));
}

TEST(RegistryWalkerTest, DescendingKeyByKeyReachesWhatTheFullPathOpensInEachView) {
    // A 64-bit machine: the 32-bit view maps full paths, and a key both views share lies outside
    // the redirected tree of its parent; the 64-bit view takes every path as it is.
    ScopedSystemRegistry registry(
        Key("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "\"Arial\"=\"shared\"\n") +
        Key("SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "\"Arial\"=\"hidden\"\n") +
        Key("SOFTWARE\\Wow6432Node\\Lumikarta\\P", "\"View\"=\"32\"\n") +
        Key("SOFTWARE\\Lumikarta\\P", "\"View\"=\"64\"\n"));
    const struct {
        const char* start;
        std::vector<std::string> names;
        const char* value;
        RegRoot root = RegRoot::LocalMachine;
    } cases[] = {
        {"SOFTWARE\\Microsoft", {"Windows NT", "CurrentVersion", "Fonts"}, "Arial=shared"},
        {"SOFTWARE", {"Lumikarta", "P"}, "View=32"},
        {"SOFTWARE", {"Wow6432Node", "Lumikarta", "P"}, "View=32"},
        {"SOFTWARE\\Lumikarta", {"P"}, "View=32"},
        {"SOFTWARE", {"Lumikarta", "P"}, "View=64", RegRoot::LocalMachine64},
        {"SOFTWARE\\Lumikarta\\P", {}, "View=64", RegRoot::LocalMachine64},
        {"SOFTWARE", {"Wow6432Node", "Lumikarta", "P"}, "View=32", RegRoot::LocalMachine64},
    };
    for (const auto& test : cases) {
        CRegistryWalker walker(SystemRegistry());
        ASSERT_TRUE(walker.Open(test.root, test.start)) << test.start;
        for (const std::string& name : test.names) {
            ASSERT_TRUE(walker.Push(name)) << test.start << " " << name;
        }
        CRegValueEnum values(walker);
        values.Start();
        EXPECT_EQ(values.Name() + "=" + values.DataText(), test.value) << test.start;
    }
}

}  // namespace
