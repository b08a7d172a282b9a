#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <utility>

#include "faqdata/faq_store.h"
#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"
#include "platform/common_app_data.h"
#include "platform/downloads_folder.h"
#include "platform/folder_access.h"
#include "platform/regular_file.h"
#include "platform/system_function_windows.h"
#include "platform/temp_file.h"
#include "platform/wide_text_windows.h"

namespace {

// The rights and inheritance flags the folder's allow entries give Everyone, merged; zero when none do.
std::pair<ACCESS_MASK, BYTE> GrantedToEveryone(const std::filesystem::path& folder) {
    BYTE everyone[SECURITY_MAX_SID_SIZE] = {};
    DWORD sidSize = sizeof everyone;
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::pair<ACCESS_MASK, BYTE> grant = {0, 0};
    if (!CreateWellKnownSid(WinWorldSid, nullptr, everyone, &sidSize) ||
        GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &acl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return grant;
    }
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (GetAce(acl, i, reinterpret_cast<void**>(&ace)) &&
            ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&ace->SidStart, everyone)) {
            grant.first |= ace->Mask;
            grant.second |= ace->Header.AceFlags;
        }
    }
    LocalFree(descriptor);
    return grant;
}

TEST(PlatformServicesWindows, CacheFolderIsMadeBelowTheCommonAppDataFolderAndOpenToEveryone) {
    TempDir temp;
    // Outside the ANSI code page, so the override is only found when read in UTF-16.
    const std::filesystem::path base = temp.Path() / u8"Gemeinsam-Ω";
    std::filesystem::create_directories(base);
    ASSERT_EQ(GrantedToEveryone(base).first & FILE_WRITE_DATA, 0u)
        << "a new folder is open to everyone already";
    {
        ScopedEnv appData("LUMIKARTA_COMMON_APPDATA", platform::Utf8FromWide(base.wstring()));
        CFAQStore::DestroyInstance();
        CFAQStore::Instance()->LoadCache();
        CFAQStore::DestroyInstance();
    }
    const std::filesystem::path folder = base / "Lumikarta" / "Support und Update Tool";
    ASSERT_TRUE(std::filesystem::is_directory(folder));
    const auto [rights, inheritance] = GrantedToEveryone(folder);
    // Wine stores a little less than GENERIC_ALL maps to; reading, writing and entering must be there.
    constexpr ACCESS_MASK kNeeded = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
    EXPECT_EQ(rights & kNeeded, kNeeded) << std::hex << rights;
    EXPECT_EQ(inheritance & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
              OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);

    const ScopedEnv unset("LUMIKARTA_COMMON_APPDATA", std::nullopt);
    const std::string machine = platform::CommonAppDataFolder();
    EXPECT_TRUE(!machine.empty() && std::filesystem::is_directory(platform::WideFromUtf8(machine)))
        << machine;
}

// A symbolic link to a folder. Wine (8) answers CreateSymbolicLinkW without making one, but shows the
// Unix links of its drives as reparse points; there the link is made by the Unix ln.
bool MakeDirectoryLink(const std::filesystem::path& link, const std::filesystem::path& target) {
    const auto isLink = [&] {
        const DWORD attributes = GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    };
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && isLink()) {
        return true;
    }
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (unixFileName == nullptr) {
        return false;
    }
    const auto unixPath = [&](const std::filesystem::path& path) {
        char* name = unixFileName(path.c_str());
        const std::wstring wide = name ? platform::WideFromUtf8(name) : std::wstring();
        HeapFree(GetProcessHeap(), 0, name);
        return wide;
    };
    std::wstring command = L"Z:\\bin\\ln -s \"" + unixPath(target) + L"\" \"" + unixPath(link) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine's handle of a Unix process is signalled at once, so the link itself is waited for.
    for (int tries = 0; tries < 1000 && !isLink(); ++tries) {
        Sleep(10);
    }
    return isLink();
}

// A link another user put where the maker's level of the cache folder belongs is not followed, so
// nothing is made in its target; each level below is checked alike.
TEST(PlatformServicesWindows, CacheFolderLevelThatIsAReparsePointIsRefused) {
    TempDir temp;
    // The link in a folder apart from its target: a Unix link cannot be removed from here.
    const std::filesystem::path base = temp.Path() / "base";
    const std::filesystem::path target = temp.Path() / "target";
    std::filesystem::create_directories(base);
    std::filesystem::create_directories(target);
    if (!MakeDirectoryLink(base / "Lumikarta", target)) {
        GTEST_SKIP() << "no directory links here";
    }
    const std::string_view levels[] = {"Lumikarta", "Support und Update Tool"};
    EXPECT_FALSE(platform::PrepareSharedFolder(platform::Utf8FromWide(base.wstring()), levels));
    EXPECT_TRUE(std::filesystem::is_empty(target));
}

TEST(PlatformServicesWindows, SharedFileIsReadOnlyWhenARegularFileOfSaneSize) {
    TempDir temp;
    const std::wstring pipeName = L"\\\\.\\pipe\\lumikarta-shared-file-test";
    const HANDLE pipe =
        CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    std::filesystem::create_directory(temp.Path() / "folder");
    const struct {
        std::string path;
        std::optional<std::string> bytes;
    } cases[] = {
        {temp.WriteFile("at-limit.xml", "0123456789"), "0123456789"},
        {temp.WriteFile("past-limit.xml", "0123456789A"), std::nullopt},
        {temp.FilePath("folder"), std::nullopt},
        {platform::Utf8FromWide(pipeName), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::ReadRegularFile(c.path, 10), c.bytes) << c.path;
    }
    CloseHandle(pipe);
}

TEST(PlatformServicesWindows, TempFileTakesThreeCharactersOfThePrefixAndAllBytes) {
    const struct {
        const char* prefix;
        const wchar_t* nameStart;
        std::string bytes;
    } cases[] = {
        {"LKSupport", L"LKS", "<reply/>"},
        {"ab", L"ab", std::string("\0binary\r\n\xff", 10)},
        {"Äöü-x", L"Äöü", std::string(300000, 'z')},
    };
    const std::filesystem::path tempFolder = std::filesystem::temp_directory_path() / "";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        const std::optional<std::filesystem::path> file = platform::WriteTempFile(c.prefix, c.bytes);
        ASSERT_TRUE(file);
        // The prefix, then the system's unique number in hexadecimal; nothing more of the prefix.
        const std::wregex name(std::wstring(c.nameStart) + L"[0-9A-Fa-f]+\\.\\w{3}");
        EXPECT_TRUE(std::regex_match(file->filename().wstring(), name)) << file->filename();
        EXPECT_EQ((file->parent_path() / "").wstring(), tempFolder.wstring());
        EXPECT_EQ(ReadFileBytes(*file), c.bytes);
        std::filesystem::remove(*file);
    }
}

// The user may have moved the Downloads folder (its properties, "Location"), which Windows notes among
// the user's shell folders; the save question starts where it is now, not where it is by default.
TEST(PlatformServicesWindows, DownloadsFolderIsWhereTheUserMovedIt) {
    const std::string original = platform::DownloadsFolder();
    ASSERT_TRUE(!original.empty() && std::filesystem::is_directory(platform::WideFromUtf8(original)))
        << original;
    TempDir temp;
    const std::filesystem::path moved = temp.Path() / u8"Geladen-Ω";
    std::filesystem::create_directory(moved);
    constexpr wchar_t kShellFolders[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    constexpr wchar_t kDownloads[] = L"{374DE290-123F-4565-9164-39C4925E467B}";
    // The setting as it was, put back afterwards: the prefix is shared by the other tests.
    DWORD type = 0;
    std::wstring before(MAX_PATH, L'\0');
    DWORD size = static_cast<DWORD>(before.size() * sizeof(wchar_t));
    const bool hadSetting =
        RegGetValueW(HKEY_CURRENT_USER, kShellFolders, kDownloads, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     before.data(), &size) == ERROR_SUCCESS;
    const std::wstring location = moved.wstring();
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, kDownloads, REG_EXPAND_SZ, location.c_str(),
                              static_cast<DWORD>((location.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    const std::string found = platform::DownloadsFolder();
    if (hadSetting) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, kDownloads, type, before.data(), size);
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kShellFolders, kDownloads);
    }
    EXPECT_EQ(found, platform::Utf8FromWide(location));
}

// A function is found also in a system library the process has not mapped yet, as the shell, loaded
// at its first call, may not be; it is none where the library or the function is missing.
TEST(PlatformServicesWindows, SystemFunctionIsFoundAlsoInALibraryNotYetLoaded) {
    ASSERT_EQ(GetModuleHandleW(L"hid.dll"), nullptr) << "the case needs a library the tests do not load";
    const struct {
        const wchar_t* library;
        const char* name;
        bool found;
    } cases[] = {
        {L"hid.dll", "HidD_GetHidGuid", true},
        {L"hid.dll", "HidD_NoSuchFunction", false},
        {L"no-such-library.dll", "HidD_GetHidGuid", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::SystemFunction<void (*)()>(c.library, c.name) != nullptr, c.found) << c.name;
    }
}

}  // namespace
