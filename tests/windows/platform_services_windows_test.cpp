#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "faqdata/faq_store.h"
#include "platform/common_app_data.h"
#include "platform/folder_access.h"
#include "platform/program_path.h"
#include "platform/temp_file.h"
#include "platform/wide_text_windows.h"
#include "res/resource_library.h"
#include "res/string_ids.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

// What a folder's list grants to the well-known SID, merged over its allow entries.
struct Grant {
    ACCESS_MASK rights = 0;
    BYTE inheritance = 0;
};

std::optional<Grant> AllowedTo(const std::filesystem::path& folder, WELL_KNOWN_SID_TYPE who) {
    BYTE sidBuffer[SECURITY_MAX_SID_SIZE] = {};
    DWORD sidSize = sizeof sidBuffer;
    if (!CreateWellKnownSid(who, nullptr, sidBuffer, &sidSize)) {
        return std::nullopt;
    }
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &acl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<Grant> grant;
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(acl, i, reinterpret_cast<void**>(&header)) ||
            header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            continue;
        }
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        if (EqualSid(&ace->SidStart, sidBuffer)) {
            grant = grant.value_or(Grant{});
            grant->rights |= ace->Mask;
            grant->inheritance |= header->AceFlags;
        }
    }
    LocalFree(descriptor);
    return grant;
}

// Adds an allow entry for `who` to the folder's list, as an administrator might have done.
bool AllowTo(const std::filesystem::path& folder, WELL_KNOWN_SID_TYPE who, ACCESS_MASK rights) {
    BYTE sidBuffer[SECURITY_MAX_SID_SIZE] = {};
    DWORD sidSize = sizeof sidBuffer;
    PACL old = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!CreateWellKnownSid(who, nullptr, sidBuffer, &sidSize) ||
        GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &old, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    EXPLICIT_ACCESSW access = {};
    access.grfAccessPermissions = rights;
    access.grfAccessMode = GRANT_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(sidBuffer);
    PACL merged = nullptr;
    bool done = SetEntriesInAclW(1, &access, old, &merged) == ERROR_SUCCESS;
    std::wstring path = folder.wstring();
    done = done && SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, merged, nullptr) == ERROR_SUCCESS;
    LocalFree(merged);
    LocalFree(descriptor);
    return done;
}

TEST(PlatformServicesWindows, CacheFolderIsMadeAndOpenToEveryone) {
    TempDir base;
    const std::filesystem::path folder = base.Path() / "Lumikarta" / "Support und Update Tool";
    std::filesystem::create_directories(folder);
    const std::optional<Grant> before = AllowedTo(folder, WinWorldSid);
    ASSERT_FALSE(before && (before->rights & FILE_WRITE_DATA)) << "a new folder is open to everyone already";
    // Wine keeps no lists of its own (it maps them onto the file mode) and drops such an entry.
    const bool keepsOtherEntries = AllowTo(folder, WinBuiltinUsersSid, FILE_GENERIC_READ) &&
                                   AllowedTo(folder, WinBuiltinUsersSid).has_value();
    {
        ScopedEnv appData("LUMIKARTA_COMMON_APPDATA", base.Path().string());
        CFAQStore::DestroyInstance();
        CFAQStore::Instance()->LoadCache();
        CFAQStore::DestroyInstance();
    }
    ASSERT_TRUE(std::filesystem::is_directory(folder));

    const std::optional<Grant> everyone = AllowedTo(folder, WinWorldSid);
    ASSERT_TRUE(everyone);
    // Wine stores a little less than GENERIC_ALL maps to; reading, writing and entering must be there.
    constexpr ACCESS_MASK kNeeded = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
    EXPECT_EQ(everyone->rights & kNeeded, kNeeded) << std::hex << everyone->rights;
    EXPECT_EQ(everyone->inheritance & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
              OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    if (keepsOtherEntries) {
        EXPECT_TRUE(AllowedTo(folder, WinBuiltinUsersSid))
            << "the entry for Everyone is merged, not replacing";
    }

    EXPECT_FALSE(platform::GrantEveryoneFullAccess((base.Path() / "missing").string()));
}

TEST(PlatformServicesWindows, CommonAppDataFolder) {
    constexpr const wchar_t* kVariable = L"LUMIKARTA_COMMON_APPDATA";
    wchar_t previous[MAX_PATH] = {};
    const DWORD previousLength = GetEnvironmentVariableW(kVariable, previous, MAX_PATH);
    // Set in UTF-16, as a shell outside the ANSI code page would.
    ASSERT_TRUE(SetEnvironmentVariableW(kVariable, L"C:\\Daten-Ü\\Gemeinsam"));
    EXPECT_EQ(platform::CommonAppDataFolder(), "C:\\Daten-Ü\\Gemeinsam");
    SetEnvironmentVariableW(kVariable, nullptr);
    const std::string machine = platform::CommonAppDataFolder();
    SetEnvironmentVariableW(kVariable, previousLength > 0 && previousLength < MAX_PATH ? previous : nullptr);
    ASSERT_FALSE(machine.empty());
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(platform::WideFromUtf8(machine))))
        << machine;
}

TEST(PlatformServicesWindows, TempFileTakesThreeCharactersOfThePrefixAndAllBytes) {
    struct Case {
        const char* prefix;
        const wchar_t* nameStart;
        std::string bytes;
    };
    const Case cases[] = {
        {"LKSupport", L"LKS", "<reply/>"},
        {"ab", L"ab", std::string("\0binary\r\n\xff", 10)},
        {"Äöü-x", L"Äöü", std::string(300000, 'z')},
    };
    std::error_code error;
    const std::filesystem::path tempFolder = std::filesystem::temp_directory_path(error);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        const std::optional<std::filesystem::path> file = platform::WriteTempFile(c.prefix, c.bytes);
        ASSERT_TRUE(file);
        const std::wstring name = file->filename().wstring();
        const std::size_t prefixLength = wcslen(c.nameStart);
        EXPECT_EQ(name.substr(0, prefixLength), c.nameStart);
        // Then the system's unique number in hexadecimal; nothing more of the prefix.
        EXPECT_EQ(name.find_first_not_of(L"0123456789abcdefABCDEF", prefixLength), name.size() - 4) << name;
        EXPECT_EQ((file->parent_path() / "").wstring(), (tempFolder / "").wstring());
        std::ifstream in(*file, std::ios::binary);
        const std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        EXPECT_EQ(read, c.bytes);
        std::filesystem::remove(*file, error);
    }
}

TEST(PlatformServicesWindows, EnglishLibraryIsLoadedFromTheProgramFolder) {
    const std::filesystem::path program = platform::ProgramFile();
    ASSERT_TRUE(program.is_absolute()) << program;
    ASSERT_TRUE(std::filesystem::is_regular_file(program)) << program;

    const LumikartaResourceTable* table = LoadEnglishResourceLibrary(program.parent_path());
    ASSERT_NE(table, nullptr) << "expected " << kEnglishLibraryName << ".dll beside " << program;
    EXPECT_EQ(table->version, kResourceTableVersion);
    std::string about;
    for (uint32_t i = 0; i < table->stringCount; ++i) {
        if (table->strings[i].id == IDS_ABOUTBOX) {
            about = table->strings[i].text;
        }
    }
    EXPECT_EQ(about, "&About...");
    EXPECT_GT(table->dialogCount, 0u);
}

}  // namespace
