#include <gtest/gtest.h>

#include "helpers/temp_dir.h"
#include "platform/hive/hive_tree.h"
#include "platform/hive/registry_text_parser.h"
#include "platform/hive/registry_text_writer.h"

namespace platform {
namespace {

std::string ReadFixture(const std::string& name) {
    return ReadFileBytes(std::string(LUMIKARTA_FIXTURES_DIR) + "/registry/" + name);
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A text value as stored: UTF-8 with its terminator.
std::vector<uint8_t> Text(std::string_view text) {
    return Bytes(std::string(text).append(1, '\0'));
}

const char kV5[] = "regedit5-utf16.reg";
const char kV4[] = "regedit4-latin1.reg";
const char kWine[] = "wine-system.reg";
const char kProductA[] = "SOFTWARE\\Lumikarta\\ProductA\\Skyrund\\300";
const char kV4Product[] = "SOFTWARE\\Lumikarta\\Karte\\Skyrund\\100";
const char kWineProduct[] = "Software\\Wow6432Node\\Lumikarta\\Produkt\xC3\xA4\\Skyrund\\200";

// Deletions are applied and what cannot be read is skipped, with everything after it still read.
TEST(RegistryTextTest, ReadsEachWayOfWritingAValueOfEachFormat) {
    std::vector<uint8_t> sequence(26);
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        sequence[i] = static_cast<uint8_t>(i);
    }
    struct Case {
        const char* file;
        const char* key;
        const char* name;
        RegType type;  // None: no such value
        std::vector<uint8_t> data;
        RegRoot root = RegRoot::LocalMachine;
    };
    const Case cases[] = {
        {kV5, kProductA, "VERSION", RegType::Sz, Text("300")},
        {kV5, kProductA, "", RegType::Sz, Text("Standard")},
        {kV5, kProductA, "GRÖßE", RegType::Dword, {42, 0, 0, 0}},
        {kV5, kProductA, "Multi", RegType::MultiSz, Bytes(std::string_view("a\0ä\0\0", 6))},
        {kV5, kProductA, "Long", RegType::Binary, sequence},
        {kV5, kProductA, "Qword", RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0}},
        {kV5, "Software\\Other", "X", RegType::Sz, Text("not the machine's"), RegRoot::CurrentUser},
        {kV5, "Software\\Other", "X", RegType::None, {}},
        {kV5, kProductA, "Pfad", RegType::None, {}},  // deleted by a later "Pfad"=-
        {kV5, kProductA, "Bad", RegType::None, {}},
        {kV5, kProductA, "Später", RegType::Sz, Text("ü")},
        {kV5, "SOFTWARE\\Lumikarta\\Gone", "", RegType::None, {}},
        {kV5, "SOFTWARE\\Broken", "", RegType::None, {}},
        {kV4, kV4Product, "Grüße", RegType::Sz, Text("Straße")},
        {kV4, kV4Product, "Expand", RegType::ExpandSz, Bytes(std::string_view("%PATH%ä\0", 9))},
        {kWine, kWineProduct, "Path", RegType::Sz, Text("C:\\Program Files (x86)\\Lumikarta\\")},
        {kWine, kWineProduct, "Quote", RegType::Sz, Text("a\"b\tc")},
        {kWine, kWineProduct, "Multi", RegType::MultiSz, Bytes(std::string_view("eins\0zwei\0\0", 11))},
        {kWine, kWineProduct, "Emoji", RegType::Sz, Text("😀")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.name);
        HiveTree hive;
        ASSERT_NE(LoadRegistryText(ReadFixture(c.file), c.root, hive), RegistryTextFormat::Unknown);
        const auto key = hive.FindKey(c.key);
        const RegValue* value = key == HiveTree::kNoKey ? nullptr : hive.FindValue(key, c.name);
        EXPECT_EQ(value ? value->type : RegType::None, c.type);
        EXPECT_EQ(value ? value->data : std::vector<uint8_t>(), c.data);
    }
}

std::vector<std::string> SubkeyNames(const HiveTree& hive, std::string_view path) {
    std::vector<std::string> names;
    for (const auto child : hive.Subkeys(hive.FindKey(path))) {
        names.emplace_back(hive.KeyName(child));
    }
    return names;
}

std::vector<std::string> ValueTexts(const HiveTree& hive, std::string_view path) {
    std::vector<std::string> texts;
    for (const RegValue& value : hive.Values(hive.FindKey(path))) {
        texts.push_back(value.name + "=" + std::string(value.data.begin(), value.data.end() - 1));
    }
    return texts;
}

TEST(RegistryTextTest, EnumeratesSubkeysAsWineDoes) {
    // The order Wine's RegEnumKeyEx gives: letters lowered, then UTF-16 units compared.
    std::string text = "REGEDIT4\n\n";
    for (const char* name : {"zulu", "Zeta", "_under", "Ab", "A_b", "Äpfel", "Apfel", "Öl", "Ozean", "10",
                             "9", "1_0", "ß", "Б", "а"}) {
        text += "[HKEY_LOCAL_MACHINE\\S\\" + std::string(name) + "]\n";
    }
    HiveTree hive;
    LoadRegistryText(text, RegRoot::LocalMachine, hive);
    EXPECT_EQ(SubkeyNames(hive, "S"),
              (std::vector<std::string>{"10", "1_0", "9", "_under", "A_b", "Ab", "Apfel", "Ozean", "Zeta",
                                        "zulu", "ß", "Äpfel", "Öl", "а", "Б"}));
}

TEST(RegistryTextTest, KeysOfManyValuesAndSubkeysApplyEveryLineInOrder) {
    // Past a handful of entries names are looked up through indexes; deletions and repeated key
    // lines must act on them as on a few.
    std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n";
    std::vector<std::string> expected;
    for (int i = 0; i < 20; ++i) {
        const std::string number = std::to_string(i);
        text.append("\"V").append(number).append("\"=\"").append(number).append("\"\n");
        if (i != 3) {
            // Appended: GCC 12 at -O3 takes a chain of + on a literal for an overlapping copy.
            expected.push_back(std::string("V").append(number).append("=").append(i == 5 ? "new" : number));
        }
    }
    expected.push_back("V3=again");
    text += "[HKEY_LOCAL_MACHINE\\P]\n[HKEY_LOCAL_MACHINE\\K]\n\"v3\"=-\n\"v5\"=\"new\"\n\"V3\"=\"again\"\n";
    for (int i = 0; i < 20; ++i) {
        text += "[HKEY_LOCAL_MACHINE\\P\\S" + std::to_string(i) + "\\Sub]\n";
    }
    for (int i = 0; i < 10; ++i) {
        text += "[-HKEY_LOCAL_MACHINE\\p\\s" + std::to_string(i) + "]\n";
    }
    // Made, deleted and made again by the same line.
    text += "[HKEY_LOCAL_MACHINE\\P\\S4]\n[-HKEY_LOCAL_MACHINE\\P\\S4]\n[HKEY_LOCAL_MACHINE\\P\\S4]\n";

    HiveTree hive;
    LoadRegistryText(text, RegRoot::LocalMachine, hive);
    EXPECT_EQ(ValueTexts(hive, "K"), expected);
    EXPECT_EQ(SubkeyNames(hive, "P"), (std::vector<std::string>{"S10", "S11", "S12", "S13", "S14", "S15",
                                                                "S16", "S17", "S18", "S19", "S4"}));
    EXPECT_EQ(hive.FindKey("P\\S4\\Sub"), HiveTree::kNoKey) << "the key came back, not its old subkeys";
    EXPECT_NE(hive.FindKey("P\\s19\\sub"), HiveTree::kNoKey);
}

TEST(RegistryTextTest, TellsTheFormatAndTheWineArchitectureFromTheHeader) {
    const struct {
        std::string text;
        RegistryTextFormat format;
        bool win64;
    } cases[] = {
        {ReadFixture(kWine), RegistryTextFormat::Wine2, true},
        {"WINE REGISTRY Version 2\n#arch=win32\n\n[Software] 1\n", RegistryTextFormat::Wine2, false},
        {"", RegistryTextFormat::Unknown, false},
        {"REGEDIT5\n[HKEY_LOCAL_MACHINE\\A]\n", RegistryTextFormat::Unknown, false},
        {"\xFF\xFE", RegistryTextFormat::Unknown, false},
        {"[HKEY_LOCAL_MACHINE\\A]\n", RegistryTextFormat::Unknown, false},
    };
    for (const auto& c : cases) {
        HiveTree hive;
        EXPECT_EQ(LoadRegistryText(c.text, RegRoot::LocalMachine, hive), c.format) << c.text;
        EXPECT_EQ(hive.IsWin64(), c.win64) << c.text;
        EXPECT_EQ(hive.FindKey("Software") != HiveTree::kNoKey, c.format != RegistryTextFormat::Unknown);
    }
}

TEST(RegistryTextTest, WrittenTextReadsBackAlike) {
    HiveTree original;
    LoadRegistryText(ReadFixture(kV5), RegRoot::LocalMachine, original);
    const auto product = original.FindKey(kProductA);
    original.SetValue(product, RegValue{"Zeilen", RegType::Sz, Text("eins\nzwei")});
    original.SetValue(product, RegValue{"Odd", RegType::Dword, {1, 2}});

    HiveTree copy;
    ASSERT_EQ(
        LoadRegistryText(WriteRegistryText(original, "HKEY_LOCAL_MACHINE"), RegRoot::LocalMachine, copy),
        RegistryTextFormat::Regedit5);
    const auto copied = copy.FindKey(kProductA);
    ASSERT_NE(copied, HiveTree::kNoKey);
    const auto& expected = original.Values(product);
    const auto& actual = copy.Values(copied);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_EQ(actual[i].type, expected[i].type) << expected[i].name;
        EXPECT_EQ(actual[i].data, expected[i].data) << expected[i].name;
    }
    EXPECT_NE(copy.FindKey("SOFTWARE\\Lumikarta\\ProductA\\RegionA\\300"), HiveTree::kNoKey);
}

}  // namespace
}  // namespace platform
