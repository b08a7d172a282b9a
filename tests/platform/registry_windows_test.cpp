#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "helpers/registry_text_windows.h"
#include "platform/registry.h"
#include "platform/wide_text_windows.h"
#include "registry/reg_value_enum.h"
#include "registry/registry_walker.h"
#include "sysinfo/system_info.h"

namespace {

using platform::RegResult;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

// A text value as the program keeps it: UTF-8 with its terminator.
std::vector<uint8_t> Text(std::string_view text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// Keys of this test process, removed with everything below them afterwards: one below
// HKEY_CURRENT_USER, and a product's below HKLM\SOFTWARE\Lumikarta in the 32-bit view.
class RegistryWindows : public testing::Test {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, platform::WideFromUtf8(m_root).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\LumikartaTest");
        HKEY lumikarta = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lumikarta", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                          &lumikarta) == ERROR_SUCCESS) {
            RegDeleteTreeW(lumikarta, platform::WideFromUtf8(m_product).c_str());
            RegCloseKey(lumikarta);
        }
        // Refused while other products' keys are below it.
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lumikarta", KEY_WOW64_32KEY, 0);
    }

    std::unique_ptr<platform::RegistryKey> Create(const std::string& path) {
        std::unique_ptr<platform::RegistryKey> key;
        EXPECT_EQ(platform::SystemRegistry().CreateKey(RegRoot::CurrentUser, m_root + path, key),
                  RegResult::Success);
        return key;
    }

    const std::string m_root = "Software\\LumikartaTest\\" + std::to_string(GetCurrentProcessId());
    const std::string m_product = "LkTest" + std::to_string(GetCurrentProcessId());
};

TEST_F(RegistryWindows, ValuesRoundTripAndTheWalkFindsAllButOversizeValues) {
    const struct {
        std::string name;
        RegType type;
        std::vector<uint8_t> data;
        bool walked = true;
    } cases[] = {
        // Stored first and named to sort among the others, so the walk has to go on past them in
        // either order the registry may list values in.
        {"Binary257", RegType::Binary, std::vector<uint8_t>(257, 7), false},
        {"LongText", RegType::Sz, Text(std::string(300, 'x')), false},
        {std::string(300, 'n'), RegType::Sz, Text("x"), false},
        {"Text", RegType::Sz, Text("Grüße € 𝄞")},
        {"Unterminated", RegType::Sz, {'a', 'b', 'c'}},
        {"Multi", RegType::MultiSz, Text(std::string_view("eins\0zwei\0", 10))},
        {"Number", RegType::Dword, {1, 2, 3, 4}},
        {"Empty", RegType::Binary, {}},
        {"Süd", RegType::Sz, Text("")},
        {"", RegType::Sz, Text("default")},
        // 200 characters are 402 bytes in UTF-16 but fit the walker's 256 bytes as UTF-8.
        {"Fits", RegType::Sz, Text(std::string(200, 't'))},
        {"Binary256", RegType::Binary, std::vector<uint8_t>(256, 7)},
    };
    auto key = Create("");
    ASSERT_TRUE(key);
    std::map<std::string, std::vector<uint8_t>> expectedWalk;
    for (const auto& c : cases) {
        ASSERT_EQ(key->SetValue(c.name, c.type, c.data), RegResult::Success) << c.name;
        if (c.walked) {
            expectedWalk[c.name] = c.data;
        }
    }
    std::unique_ptr<platform::RegistryKey> reader;
    ASSERT_EQ(
        platform::SystemRegistry().OpenKey(RegRoot::CurrentUser, m_root, platform::RegAccess::Read, reader),
        RegResult::Success);
    for (const auto& c : cases) {
        RegValue value;
        ASSERT_EQ(reader->QueryValue(c.name, 1024, value), RegResult::Success) << c.name;
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
    RegValue value;
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

    for (const char* path : {"\\A", "\\Süd", "\\Zebra"}) {
        Create(path);
    }
    CRegistryWalker walker;
    ASSERT_TRUE(walker.Open(RegRoot::CurrentUser, m_root));
    std::map<std::string, std::vector<uint8_t>> walked;
    CRegValueEnum values(walker);
    for (values.Start(); !values.Done(); values.Next()) {
        walked[values.Name()] = values.Data();
    }
    EXPECT_EQ(walked, expectedWalk);

    // Limits count UTF-8 bytes, as the hive does: "Süd" has three characters but four bytes. A name
    // over the limit is MoreData and the index after it still answers.
    std::string name;
    std::vector<RegResult> results;
    for (uint32_t index = 0; index < 4; ++index) {
        results.push_back(walker.TopKey()->EnumKey(index, 3, name));
    }
    EXPECT_EQ(name, "A");
    EXPECT_EQ(std::count(results.begin(), results.end(), RegResult::MoreData), 2);
    EXPECT_EQ(results.back(), RegResult::NoMoreItems);
}

// The product's keys are written through Win32, as a 32-bit installer does.
TEST_F(RegistryWindows, DetectProductsFindsProductVersionAndMapSetsInThe32BitView) {
    const std::wstring key = L"SOFTWARE\\Lumikarta\\" + platform::WideFromUtf8(m_product);
    if (!WriteRegistryText(HKEY_LOCAL_MACHINE, {key + L"\\RegionA\\100", nullptr, L""}, KEY_WOW64_32KEY)) {
        GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
    }
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, {key + L"\\Skyrund\\100", L"VERSION", L"100"},
                                  KEY_WOW64_32KEY));
    HKEY native = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &native),
              ERROR_FILE_NOT_FOUND)
        << "the 64-bit view must not hold the keys";

    CSystemInfo info;
    info.DetectProducts();
    std::map<std::string, std::pair<std::string, std::vector<std::string>>> found;
    for (const ProductInfo& product : info.m_Products) {
        if (product.m_strName.starts_with(m_product)) {
            found[product.m_strName] = {product.m_strVersion, product.m_Items};
        }
    }
    EXPECT_EQ(found, (decltype(found){{m_product, {"1.0.0", {"RegionA\\100"}}}}));
}

}  // namespace
