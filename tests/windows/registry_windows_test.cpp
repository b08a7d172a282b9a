#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/collect_leaf_paths.h"
#include "common/reg_subkey_enum.h"
#include "common/reg_value_enum.h"
#include "common/registry_walker.h"
#include "platform/registry.h"
#include "platform/wide_text_windows.h"
#include "sysinfo/system_info.h"

namespace {

using platform::RegResult;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A text value as the program keeps it: UTF-8 with its terminator.
std::vector<uint8_t> Text(std::string_view text) {
    std::vector<uint8_t> bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
}

// A key of this test process below HKEY_CURRENT_USER, removed with everything below it afterwards.
class RegistryWindows : public testing::Test {
protected:
    void SetUp() override {
        m_root = "Software\\LumikartaTest\\" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, platform::WideFromUtf8(m_root).c_str());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, platform::WideFromUtf8(m_root).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\LumikartaTest");
    }

    std::unique_ptr<platform::RegistryKey> Create(const std::string& path) {
        std::unique_ptr<platform::RegistryKey> key;
        EXPECT_EQ(platform::SystemRegistry().CreateKey(RegRoot::CurrentUser, m_root + path, key),
                  RegResult::Success)
            << path;
        return key;
    }

    std::string m_root;
};

TEST_F(RegistryWindows, ValuesKeepTheirTypeAndData) {
    struct Case {
        const char* name;
        RegType type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {"Text", RegType::Sz, Text("Grüße € 𝄞")},
        {"Unterminated", RegType::Sz, Bytes("abc")},
        {"Expand", RegType::ExpandSz, Text("%TEMP%\\x")},
        {"Multi", RegType::MultiSz, Bytes(std::string_view("eins\0zwei\0\0", 11))},
        {"Number", RegType::Dword, {1, 2, 3, 4}},
        {"Wide", RegType::Qword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"Raw", RegType::Binary, {0, 0xff, 0xd8, 0}},
        {"Empty", RegType::Binary, {}},
        {"Süd", RegType::Sz, Text("")},
        {"", RegType::Sz, Text("default")},
    };
    auto key = Create("");
    ASSERT_TRUE(key);
    for (const Case& c : cases) {
        ASSERT_EQ(key->SetValue(c.name, c.type, c.data), RegResult::Success) << c.name;
    }
    std::unique_ptr<platform::RegistryKey> reader;
    ASSERT_EQ(
        platform::SystemRegistry().OpenKey(RegRoot::CurrentUser, m_root, platform::RegAccess::Read, reader),
        RegResult::Success);
    for (const Case& c : cases) {
        RegValue value;
        ASSERT_EQ(reader->QueryValue(c.name, 256, value), RegResult::Success) << c.name;
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
    RegValue value;
    EXPECT_EQ(reader->QueryValue("TEXT", 256, value), RegResult::Success) << "names without regard to case";
    EXPECT_EQ(reader->QueryValue("Missing", 256, value), RegResult::FileNotFound);
    EXPECT_EQ(reader->QueryValue("Text", 5, value), RegResult::MoreData);
    EXPECT_EQ(reader->SetValue("X", RegType::Sz, Text("x")), RegResult::AccessDenied);

    // Other programs read the texts as UTF-16.
    wchar_t stored[32] = {};
    DWORD size = sizeof stored;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, platform::WideFromUtf8(m_root).c_str(), L"Text", RRF_RT_REG_SZ,
                           nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), L"Grüße € \U0001D11E");
}

TEST_F(RegistryWindows, EnumerationPassesOverOversizeEntriesOnly) {
    auto key = Create("");
    ASSERT_TRUE(key);
    const std::string longName(300, 'n');
    // 200 characters are 402 bytes in UTF-16 but fit the program's 256 bytes as UTF-8.
    const std::string twoHundred(200, 't');
    ASSERT_EQ(key->SetValue("First", RegType::Sz, Text("eins")), RegResult::Success);
    ASSERT_EQ(key->SetValue(longName, RegType::Sz, Text("x")), RegResult::Success);
    ASSERT_EQ(key->SetValue("LongText", RegType::Sz, Text(std::string(300, 'x'))), RegResult::Success);
    ASSERT_EQ(key->SetValue("Fits", RegType::Sz, Text(twoHundred)), RegResult::Success);
    ASSERT_EQ(key->SetValue("LongBinary", RegType::Binary, std::vector<uint8_t>(257, 7)), RegResult::Success);
    ASSERT_EQ(key->SetValue("Binary256", RegType::Binary, std::vector<uint8_t>(256, 7)), RegResult::Success);
    ASSERT_EQ(key->SetValue("VERSION", RegType::Sz, Text("100")), RegResult::Success);

    CRegistryWalker walker;
    ASSERT_TRUE(walker.Open(RegRoot::CurrentUser, m_root));
    std::vector<std::string> names;
    CRegValueEnum values(walker);
    for (values.Start(); !values.Done(); values.Next()) {
        names.push_back(values.Name());
        if (values.Name() == "Fits") {
            EXPECT_EQ(values.DataText(), twoHundred);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Binary256", "First", "Fits", "VERSION"}));

    // Each index on its own: the oversize ones say MoreData, the one after them is still there.
    std::vector<RegResult> results;
    RegValue value;
    for (uint32_t index = 0; index < 8; ++index) {
        results.push_back(walker.TopKey()->EnumValue(index, 255, 256, value));
    }
    EXPECT_EQ(std::count(results.begin(), results.end(), RegResult::MoreData), 3);
    EXPECT_EQ(std::count(results.begin(), results.end(), RegResult::Success), 4);
    EXPECT_EQ(results.back(), RegResult::NoMoreItems);
}

TEST_F(RegistryWindows, LeafPathsAndSubkeyNames) {
    for (const char* path : {"\\A\\B\\C", "\\A\\D", "\\Süd", "\\Zebra\\Ende"}) {
        Create(path);
    }
    CRegistryWalker walker;
    ASSERT_TRUE(walker.Open(RegRoot::CurrentUser, m_root));
    std::vector<std::string> leaves;
    CollectLeafPaths(walker, leaves);
    std::sort(leaves.begin(), leaves.end());
    EXPECT_EQ(leaves, (std::vector<std::string>{m_root + "\\A\\B\\C", m_root + "\\A\\D", m_root + "\\Süd",
                                                m_root + "\\Zebra\\Ende"}));
    EXPECT_EQ(walker.Depth(), 0);

    // A name longer than the caller allows is MoreData and the index after it still answers.
    std::string name;
    std::vector<std::string> shortNames;
    uint32_t index = 0;
    for (RegResult result; (result = walker.TopKey()->EnumKey(index, 3, name)) != RegResult::NoMoreItems;
         ++index) {
        if (result == RegResult::Success) {
            shortNames.push_back(name);
        } else {
            EXPECT_EQ(result, RegResult::MoreData);
        }
    }
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(shortNames, (std::vector<std::string>{"A"})) << "limits count UTF-8 bytes, as the hive does";

    std::string className = "stale";
    uint32_t subkeys = 0;
    uint32_t valueCount = 1;
    ASSERT_EQ(walker.TopKey()->QueryInfo(className, subkeys, valueCount), RegResult::Success);
    EXPECT_EQ(className, "");
    EXPECT_EQ(subkeys, 3u);
    EXPECT_EQ(valueCount, 0u);
}

// Keys the test writes below HKLM\SOFTWARE\Lumikarta in the 32-bit view, as a 32-bit installer
// does, directly through the Win32 calls.
class MachineKeys : public testing::Test {
protected:
    void SetUp() override {
        m_product = "LkTest" + std::to_string(GetCurrentProcessId());
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lumikarta", 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
        }
        m_lumikarta = key;
    }
    void TearDown() override {
        if (m_lumikarta == nullptr) {
            return;
        }
        RegDeleteTreeW(m_lumikarta, platform::WideFromUtf8(m_product).c_str());
        DWORD subkeys = 0;
        DWORD values = 0;
        RegQueryInfoKeyW(m_lumikarta, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(m_lumikarta);
        if (subkeys == 0 && values == 0) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lumikarta", KEY_WOW64_32KEY, 0);
        }
    }

    struct Stored {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };

    // Creates the key below the product key and sets the values in the order given.
    void Write(const std::string& path, const std::vector<Stored>& values = {}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(m_lumikarta, platform::WideFromUtf8(m_product + path).c_str(), 0, nullptr,
                                  0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const Stored& value : values) {
            EXPECT_EQ(RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                                     static_cast<DWORD>(value.data.size())),
                      ERROR_SUCCESS);
        }
        RegCloseKey(key);
    }

    static std::vector<BYTE> Wide(const std::wstring& text) {
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    }

    HKEY m_lumikarta = nullptr;
    std::string m_product;
};

TEST_F(MachineKeys, AreReadThroughThe32BitView) {
    Write("\\Skyrund\\100", {{L"VERSION", REG_SZ, Wide(L"100")}});
    const std::string path = "SOFTWARE\\Lumikarta\\" + m_product + "\\Skyrund\\100";
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(platform::SystemRegistry().OpenKey(RegRoot::LocalMachine, path, platform::RegAccess::Read, key),
              RegResult::Success);
    RegValue value;
    ASSERT_EQ(key->QueryValue("version", 256, value), RegResult::Success);
    EXPECT_EQ(value.data, Text("100"));

    HKEY native = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, platform::WideFromUtf8(path).c_str(), 0,
                            KEY_READ | KEY_WOW64_64KEY, &native),
              ERROR_FILE_NOT_FOUND)
        << "the 64-bit view must not hold the key";
}

TEST_F(MachineKeys, DetectProductsFindsProductVersionAndMapSets) {
    // An oversize value before VERSION must not hide it.
    Write("\\Skyrund\\100",
          {{L"A", REG_BINARY, std::vector<BYTE>(300, 1)}, {L"VERSION", REG_SZ, Wide(L"100")}});
    Write("\\RegionA\\100");
    Write("\\RegionB\\200");
    Write("\\Extra\\Skyrund\\021", {{L"Version", REG_SZ, Wide(L"2.1")}});

    CSystemInfo info;
    info.DetectProducts();
    std::vector<std::string> found;
    for (const ProductInfo& product : info.m_Products) {
        if (product.m_strName.starts_with(m_product)) {
            std::string line = product.m_strName + "|" + product.m_strVersion + "|";
            for (const std::string& item : product.m_Items) {
                line += item + ",";
            }
            found.push_back(line);
        }
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found,
              (std::vector<std::string>{m_product + " Extra|2...1|", m_product + "|1.0.0|RegionA\\100,"}));
}

}  // namespace
