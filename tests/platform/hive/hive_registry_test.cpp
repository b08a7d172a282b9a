#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "helpers/temp_dir.h"
#include "platform/hive/hive_registry.h"

namespace platform {
namespace {

const std::string kWineHive = std::string(LUMIKARTA_FIXTURES_DIR) + "/registry/wine-system.reg";
const char kSettings[] = "SOFTWARE\\Lumikarta\\Support und Update";

std::string QueryText(Registry& registry, RegRoot root, const std::string& path, const std::string& name) {
    std::unique_ptr<RegistryKey> key;
    RegValue value;
    if (registry.OpenKey(root, path, RegAccess::Read, key) != RegResult::Success ||
        key->QueryValue(name, 256, value) != RegResult::Success) {
        return "<none>";
    }
    return std::string(value.data.begin(), value.data.end());
}

RegResult WriteLanguage(Registry& registry, std::string_view text) {
    std::unique_ptr<RegistryKey> key;
    const RegResult created = registry.CreateKey(RegRoot::CurrentUser, kSettings, key);
    if (created != RegResult::Success) {
        return created;
    }
    return key->SetValue("Language", RegType::Sz, std::vector<uint8_t>(text.begin(), text.end()));
}

// The machine's hive is never written; a failed write of the user's file keeps the old one.
TEST(HiveRegistryTest, WritesOnlyTheUserFileAndKeepsItWhenAWriteFails) {
    TempDir folder;
    const auto file = folder.Path() / "user.reg";
    HiveRegistry registry(kWineHive, file);
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry.OpenKey(RegRoot::LocalMachine, "SOFTWARE", RegAccess::ReadWrite, key),
              RegResult::AccessDenied);
    EXPECT_EQ(registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\New", key), RegResult::AccessDenied);
    ASSERT_EQ(registry.OpenKey(RegRoot::LocalMachine, "SOFTWARE\\Lumikarta", RegAccess::Read, key),
              RegResult::Success);
    EXPECT_EQ(key->SetValue("X", RegType::Sz, {0}), RegResult::AccessDenied);
    ASSERT_EQ(WriteLanguage(registry, std::string_view("0\0", 2)), RegResult::Success);
    const std::string before = ReadFileBytes(file);

    // A full disk, as the file system reports it: every write past a few bytes fails.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit original{};
    getrlimit(RLIMIT_FSIZE, &original);
    rlimit small = original;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    const RegResult result = WriteLanguage(registry, std::string_view("1\0", 2));
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, RegResult::WriteFault);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(QueryText(registry, RegRoot::CurrentUser, kSettings, "Language"), std::string("0\0", 2))
        << "memory must not claim what the file does not hold";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(HiveRegistryTest, StoresUserValuesOnlyInFilesItCanWriteBackWhole) {
    const RegResult stored = RegResult::Success;
    const RegResult refused = RegResult::WriteFault;
    const std::string other = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]";
    struct Case {
        std::optional<std::string> text;  // none: neither the file nor its folders exist yet
        RegResult expected;
    };
    const std::vector<Case> cases = {
        {std::nullopt, stored},
        {other + "\n\"A\"=\"1\"\n", stored},
        {"", stored},
        // A Wine hive, which Wine could no longer read; keys of the machine too; no registry file.
        {"WINE REGISTRY Version 2\n\n[Software\\\\Other] 1700000000\n\"A\"=\"1\"\n", refused},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\X]\n", refused},
        {"some notes of the user\n", refused},
        // What the reader passes over would be lost with the rewrite.
        {other + "\n; why A is 1\n\"A\"=\"1\"\n", refused},
        {"REGEDIT4\nnotes\n[HKEY_CURRENT_USER\\Software\\Other]\n", refused},
        {other + "\nA=1\n", refused},
        {other + "\n\"A\"=\"1\n", refused},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other\n\"A\"=\"1\"\n", refused},
        {other + " ; mine\n", refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.value_or("<no file>"));
        TempDir folder;
        const auto file = folder.Path() / "config" / "Lumikarta" / "user.reg";
        if (c.text) {
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << *c.text;
        }
        HiveRegistry registry("", file);
        ASSERT_EQ(WriteLanguage(registry, std::string_view("-1\0", 3)), c.expected);
        if (c.expected != stored) {
            EXPECT_EQ(ReadFileBytes(file), *c.text);
            continue;
        }
        ASSERT_EQ(WriteLanguage(registry, std::string_view("1\0", 2)), RegResult::Success);
        HiveRegistry reread("", file);
        EXPECT_EQ(
            QueryText(reread, RegRoot::CurrentUser, "software\\lumikarta\\support und update", "LANGUAGE"),
            std::string("1\0", 2));
        EXPECT_EQ(ReadFileBytes(file).find("Other") != std::string::npos, c.text && !c.text->empty())
            << "old keys stay";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1)
            << "no temporary file left beside it";
    }
}

TEST(HiveRegistryTest, RewritesTheFileALinkLeadsToWithItsModeAndClearsLeftovers) {
    TempDir folder;
    const auto target = folder.Path() / "real" / "user.reg";
    const auto link = folder.Path() / "user.reg";
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n";
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    std::filesystem::create_symlink("real/user.reg", link);
    // Left by a save whose process is gone, and by one whose process is still at work.
    const pid_t gone = fork();
    if (gone == 0) {
        _exit(0);
    }
    waitpid(gone, nullptr, 0);
    const auto leftover = target.string() + "." + std::to_string(gone) + "-0123456789abcdef.part";
    const auto busy = target.string() + "." + std::to_string(getppid()) + "-0123456789abcdef.part";
    std::ofstream(leftover) << "half";
    std::ofstream(busy) << "half";

    HiveRegistry registry("", link);
    ASSERT_EQ(WriteLanguage(registry, std::string_view("1\0", 2)), RegResult::Success);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    EXPECT_NE(ReadFileBytes(target).find("Other"), std::string::npos);
    HiveRegistry reread("", link);
    EXPECT_EQ(QueryText(reread, RegRoot::CurrentUser, kSettings, "Language"), std::string("1\0", 2));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::exists(busy));
}

}  // namespace
}  // namespace platform
