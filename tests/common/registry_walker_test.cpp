#include <gtest/gtest.h>

#include "common/collect_leaf_paths.h"
#include "common/reg_subkey_enum.h"
#include "common/reg_value_enum.h"
#include "common/registry_walker.h"
#include "support/scoped_system_registry.h"

namespace {

using platform::RegAccess;
using platform::RegResult;
using platform::RegRoot;
using platform::SystemRegistry;

std::string Key(const std::string& path, const std::string& values = "") {
    return "[HKEY_LOCAL_MACHINE\\" + path + "]\n" + values + "\n";
}

// Refuses to open the keys it is told, as the platform does for a key without read access.
class DenyingRegistry : public platform::Registry {
public:
    DenyingRegistry(platform::Registry& inner, std::vector<std::string> denied)
        : m_inner(inner), m_denied(std::move(denied)) {}
    RegResult OpenKey(RegRoot root, std::string_view path, RegAccess access,
                      std::unique_ptr<platform::RegistryKey>& key) override {
        for (const auto& denied : m_denied) {
            if (path == denied) {
                return RegResult::AccessDenied;
            }
        }
        return m_inner.OpenKey(root, path, access, key);
    }
    RegResult CreateKey(RegRoot root, std::string_view path,
                        std::unique_ptr<platform::RegistryKey>& key) override {
        return m_inner.CreateKey(root, path, key);
    }

private:
    platform::Registry& m_inner;
    std::vector<std::string> m_denied;
};

std::vector<std::string> LeafPaths(platform::Registry& registry, const std::string& start) {
    CRegistryWalker walker(registry);
    std::vector<std::string> list;
    if (walker.Open(RegRoot::LocalMachine, start)) {
        CollectLeafPaths(walker, list);
    }
    return list;
}

TEST(RegistryWalkerTest, CollectsLeafPathsDepthFirstInEnumerationOrder) {
    // The platform enumerates subkeys sorted without regard to case, whatever order they came in.
    ScopedSystemRegistry registry(Key("S\\b\\Y") + Key("S\\C") + Key("S\\b\\x\\2") + Key("S\\b\\X\\1") +
                                  Key("S\\A"));
    EXPECT_EQ(LeafPaths(SystemRegistry(), "S"),
              (std::vector<std::string>{"S\\A", "S\\b\\x\\1", "S\\b\\x\\2", "S\\b\\Y", "S\\C"}));
    EXPECT_EQ(LeafPaths(SystemRegistry(), "S\\A"), (std::vector<std::string>{"S\\A"}))
        << "a start key without subkeys";
    EXPECT_TRUE(LeafPaths(SystemRegistry(), "S\\Missing").empty());
}

TEST(RegistryWalkerTest, SkipsKeysThatCannotBeOpenedAndVisitsTheirSiblings) {
    ScopedSystemRegistry machine(Key("S\\A\\1") + Key("S\\Locked\\1") + Key("S\\Locked\\2") + Key("S\\Z"));
    DenyingRegistry registry(SystemRegistry(), {"S\\Locked"});
    EXPECT_EQ(LeafPaths(registry, "S"), (std::vector<std::string>{"S\\A\\1", "S\\Z"}));
}

TEST(RegistryWalkerTest, StopsDescendingAtTheDepthOfItsStack) {
    std::string path = "S";
    for (int depth = 1; depth <= 130; ++depth) {
        // Appended piece by piece: GCC 12 at -O3 takes "\\" + std::to_string(...) for an overlapping
        // copy (-Wrestrict) that is none.
        path.append("\\").append(std::to_string(depth));
    }
    ScopedSystemRegistry registry(Key(path) + Key("S\\Shallow"));
    const auto leaves = LeafPaths(SystemRegistry(), "S");
    // Keys down to index 127 below the start are opened; the one at 127 still has subkeys, so the
    // deep branch yields nothing and the walk goes on.
    EXPECT_EQ(leaves, (std::vector<std::string>{"S\\Shallow"}));

    CRegistryWalker walker(SystemRegistry());
    ASSERT_TRUE(walker.Open(RegRoot::LocalMachine, "S"));
    for (int depth = 1; depth <= 127; ++depth) {
        ASSERT_TRUE(walker.Push(std::to_string(depth))) << depth;
    }
    EXPECT_FALSE(walker.Push("128"));
    EXPECT_EQ(walker.Depth(), 127);
    while (walker.Pop()) {
    }
    EXPECT_EQ(walker.CurrentPath(), "S");
    EXPECT_NE(walker.TopKey(), nullptr) << "the start key stays open";
}

TEST(RegistryWalkerTest, PassesOverEntriesTooLongForTheirFieldsAndGoesOn) {
    const std::string longName(256, 'n');
    const std::string longText(300, 'x');
    ScopedSystemRegistry registry(Key("S\\Values", "\"First\"=\"1\"\n\"Big\"=\"" + longText + "\"\n\"" +
                                                       longName + "\"=\"2\"\n\"VERSION\"=\"300\"\n") +
                                  Key("S\\Keys\\A") + Key("S\\Keys\\" + longName) + Key("S\\Keys\\B"));
    CRegistryWalker walker(SystemRegistry());
    ASSERT_TRUE(walker.Open(RegRoot::LocalMachine, "S\\Values"));
    std::vector<std::string> values;
    CRegValueEnum valueEnum(walker);
    for (valueEnum.Start(); !valueEnum.Done(); valueEnum.Next()) {
        values.push_back(valueEnum.Name() + "=" + valueEnum.DataText());
    }
    EXPECT_EQ(values, (std::vector<std::string>{"First=1", "VERSION=300"}));

    ASSERT_TRUE(walker.Open(RegRoot::LocalMachine, "S\\Keys"));
    std::vector<std::string> keys;
    CRegSubkeyEnum keyEnum(walker);
    for (keyEnum.Start(); !keyEnum.Done(); keyEnum.Next()) {
        keys.push_back(keyEnum.Name());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"A", "B"}));
}

TEST(RegistryWalkerTest, DescendingKeyByKeyReachesWhatTheFullPathOpensInThe32BitView) {
    // A 64-bit machine: the 32-bit view maps full paths, and a key both views share lies outside
    // the redirected tree of its parent.
    ScopedSystemRegistry registry(
        Key("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "\"Arial\"=\"shared\"\n") +
        Key("SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "\"Arial\"=\"hidden\"\n") +
        Key("SOFTWARE\\Wow6432Node\\Lumikarta\\P", "\"View\"=\"32\"\n") +
        Key("SOFTWARE\\Lumikarta\\P", "\"View\"=\"64\"\n"));
    const struct {
        const char* start;
        std::vector<std::string> names;
        const char* value;
    } cases[] = {
        {"SOFTWARE\\Microsoft", {"Windows NT", "CurrentVersion", "Fonts"}, "Arial=shared"},
        {"SOFTWARE", {"Lumikarta", "P"}, "View=32"},
        {"SOFTWARE", {"Wow6432Node", "Lumikarta", "P"}, "View=32"},
        {"SOFTWARE\\Lumikarta", {"P"}, "View=32"},
    };
    for (const auto& test : cases) {
        CRegistryWalker walker(SystemRegistry());
        ASSERT_TRUE(walker.Open(RegRoot::LocalMachine, test.start)) << test.start;
        for (const std::string& name : test.names) {
            ASSERT_TRUE(walker.Push(name)) << test.start << " " << name;
        }
        CRegValueEnum values(walker);
        values.Start();
        EXPECT_EQ(values.Name() + "=" + values.DataText(), test.value) << test.start;
    }
}

}  // namespace
