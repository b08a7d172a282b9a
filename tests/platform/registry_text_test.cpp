#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/registry_hive.h"
#include "platform/registry_text_parser.h"
#include "platform/registry_text_writer.h"

namespace platform {
namespace {

std::string ReadFixture(const std::string& name) {
    std::ifstream in(std::string(LUMIKARTA_FIXTURES_DIR) + "/registry/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A text value as stored: UTF-8 with its terminator.
std::vector<uint8_t> Text(std::string_view text) {
    auto bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
}

struct ExpectedValue {
    const char* file;
    RegRoot root;
    const char* key;
    const char* name;
    RegType type;
    std::vector<uint8_t> data;
};

class RegistryTextValueTest : public ::testing::TestWithParam<ExpectedValue> {};

TEST_P(RegistryTextValueTest, ReadsValue) {
    const ExpectedValue& expected = GetParam();
    RegistryHive hive;
    ASSERT_NE(LoadRegistryText(ReadFixture(expected.file), expected.root, hive), RegistryTextFormat::Unknown);
    const auto key = hive.FindKey(expected.key);
    ASSERT_NE(key, RegistryHive::kNoKey) << expected.key;
    const RegValue* value = hive.FindValue(key, expected.name);
    ASSERT_NE(value, nullptr) << expected.name;
    EXPECT_EQ(value->type, expected.type);
    EXPECT_EQ(value->data, expected.data);
}

const char kV5[] = "regedit5-utf16.reg";
const char kV4[] = "regedit4-latin1.reg";
const char kWine[] = "wine-system.reg";
const char kProductA[] = "SOFTWARE\\Lumikarta\\ProductA\\Skyrund\\300";
const char kWineProduct[] = "Software\\Wow6432Node\\Lumikarta\\Produkt\xC3\xA4\\Skyrund\\200";

INSTANTIATE_TEST_SUITE_P(
    Formats, RegistryTextValueTest,
    ::testing::Values(
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "VERSION", RegType::Sz, Text("300")},
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "version", RegType::Sz, Text("300")},
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "", RegType::Sz, Text("Standard")},
        ExpectedValue{kV5,
                      RegRoot::LocalMachine,
                      kProductA,
                      "GR\xC3\x96\xC3\x9F"
                      "E",
                      RegType::Dword,
                      {42, 0, 0, 0}},
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "Bin\xC3\xA4r", RegType::Binary, {1, 2, 0xff}},
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "Expand", RegType::ExpandSz, Text("%PATH%")},
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "Multi", RegType::MultiSz,
                      Bytes(std::string_view("a\0\xC3\xA4\0\0", 6))},
        ExpectedValue{
            kV5, RegRoot::LocalMachine, kProductA, "Long", RegType::Binary, {0,  1,  2,  3,  4,  5,  6,
                                                                             7,  8,  9,  10, 11, 12, 13,
                                                                             14, 15, 16, 17, 18, 19, 20,
                                                                             21, 22, 23, 24, 25}},
        ExpectedValue{
            kV5, RegRoot::LocalMachine, kProductA, "Qword", RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0}},
        ExpectedValue{kV5, RegRoot::LocalMachine, kProductA, "Sp\xC3\xA4ter", RegType::Sz, Text("\xC3\xBC")},
        ExpectedValue{kV5, RegRoot::CurrentUser, "Software\\Other", "X", RegType::Sz,
                      Text("not the machine's")},
        ExpectedValue{kV4, RegRoot::LocalMachine, "SOFTWARE\\Lumikarta\\Karte\\Skyrund\\100",
                      "Gr\xC3\xBC\xC3\x9F"
                      "e",
                      RegType::Sz,
                      Text("Stra\xC3\x9F"
                           "e")},
        ExpectedValue{kV4, RegRoot::LocalMachine, "SOFTWARE\\Lumikarta\\Karte\\Skyrund\\100", "Expand",
                      RegType::ExpandSz, Bytes(std::string_view("%PATH%\xC3\xA4\0", 9))},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "VERSION", RegType::Sz, Text("200")},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Path", RegType::Sz,
                      Text("C:\\Program Files (x86)\\Lumikarta\\")},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Quote", RegType::Sz, Text("a\"b\tc")},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Expand", RegType::ExpandSz,
                      Text("%SystemRoot%\\system32")},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Multi", RegType::MultiSz,
                      Bytes(std::string_view("eins\0zwei\0\0", 11))},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Euro", RegType::Sz, Text("\xE2\x82\xAC")},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Emoji", RegType::Sz,
                      Text("\xF0\x9F\x98\x80")},
        ExpectedValue{kWine, RegRoot::LocalMachine, kWineProduct, "Dword", RegType::Dword, {0xff, 0, 0, 0}},
        ExpectedValue{
            kWine, RegRoot::LocalMachine, kWineProduct, "Hex", RegType::Binary, {0xde, 0xad, 0xbe, 0xef}}));

TEST(RegistryTextTest, AppliesDeletionsAndSkipsWhatCannotBeRead) {
    RegistryHive hive;
    ASSERT_EQ(LoadRegistryText(ReadFixture(kV5), RegRoot::LocalMachine, hive), RegistryTextFormat::Regedit5);
    const auto product = hive.FindKey(kProductA);
    EXPECT_EQ(hive.FindValue(product, "Pfad"), nullptr) << "deleted by a later \"Pfad\"=-";
    EXPECT_EQ(hive.FindValue(product, "Bad"), nullptr);
    EXPECT_EQ(hive.FindKey("SOFTWARE\\Lumikarta\\Gone"), RegistryHive::kNoKey);
    EXPECT_EQ(hive.FindKey("SOFTWARE\\Broken"), RegistryHive::kNoKey);
    EXPECT_EQ(hive.FindKey("Software\\Other"), RegistryHive::kNoKey) << "a key of HKEY_CURRENT_USER";
    // Everything after the broken lines is still there.
    EXPECT_NE(hive.FindValue(product, "Sp\xC3\xA4ter"), nullptr);
}

TEST(RegistryTextTest, KeepsTheFileOrderOfKeysAndValues) {
    RegistryHive hive;
    LoadRegistryText(ReadFixture(kV5), RegRoot::LocalMachine, hive);
    std::vector<std::string> names;
    for (const auto child : hive.Subkeys(hive.FindKey("software\\lumikarta\\producta"))) {
        names.emplace_back(hive.KeyName(child));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Skyrund", "RegionA"}));
    names.clear();
    for (const RegValue& value : hive.Values(hive.FindKey(kProductA))) {
        names.push_back(value.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"VERSION", "",
                                               "Gr\xC3\xB6\xC3\x9F"
                                               "e",
                                               "Bin\xC3\xA4r", "Expand", "Multi", "Long", "Qword",
                                               "Sp\xC3\xA4ter"}));
}

TEST(RegistryTextTest, RecognisesTheWineArchitecture) {
    RegistryHive win64;
    EXPECT_EQ(LoadRegistryText(ReadFixture(kWine), RegRoot::LocalMachine, win64), RegistryTextFormat::Wine2);
    EXPECT_TRUE(win64.IsWin64());
    RegistryHive win32;
    LoadRegistryText(std::string("WINE REGISTRY Version 2\n#arch=win32\n\n[Software] 1\n"),
                     RegRoot::LocalMachine, win32);
    EXPECT_FALSE(win32.IsWin64());
    EXPECT_NE(win32.FindKey("Software"), RegistryHive::kNoKey);
}

TEST(RegistryTextTest, RefusesUnknownHeaders) {
    for (const char* text :
         {"", "REGEDIT5\n[HKEY_LOCAL_MACHINE\\A]\n", "\xFF\xFE", "[HKEY_LOCAL_MACHINE\\A]\n"}) {
        RegistryHive hive;
        EXPECT_EQ(LoadRegistryText(std::string(text), RegRoot::LocalMachine, hive),
                  RegistryTextFormat::Unknown)
            << text;
        EXPECT_TRUE(hive.Subkeys(RegistryHive::kRootKey).empty());
    }
}

TEST(RegistryTextTest, WrittenTextReadsBackAlike) {
    RegistryHive original;
    LoadRegistryText(ReadFixture(kV5), RegRoot::LocalMachine, original);
    const auto product = original.FindKey(kProductA);
    original.SetValue(product, RegValue{"Zeilen", RegType::Sz, Text("eins\nzwei")});
    original.SetValue(product, RegValue{"Odd", RegType::Dword, {1, 2}});

    RegistryHive copy;
    ASSERT_EQ(
        LoadRegistryText(WriteRegistryText(original, "HKEY_LOCAL_MACHINE"), RegRoot::LocalMachine, copy),
        RegistryTextFormat::Regedit5);
    const auto copied = copy.FindKey(kProductA);
    ASSERT_NE(copied, RegistryHive::kNoKey);
    const auto& expected = original.Values(product);
    const auto& actual = copy.Values(copied);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_EQ(actual[i].type, expected[i].type) << expected[i].name;
        EXPECT_EQ(actual[i].data, expected[i].data) << expected[i].name;
    }
    EXPECT_NE(copy.FindKey("SOFTWARE\\Lumikarta\\ProductA\\RegionA\\300"), RegistryHive::kNoKey);
}

}  // namespace
}  // namespace platform
