#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/program_path.h"
#include "platform/wide_text_windows.h"
#include "res/resource_ids.h"

namespace {

const void* VersionValue(std::vector<unsigned char>& data, const std::wstring& path) {
    void* value = nullptr;
    UINT length = 0;
    return VerQueryValueW(data.data(), path.c_str(), &value, &length) && length > 0 ? value : nullptr;
}

// A text of the file's version resource as Explorer reads it, from its first translation.
std::string VersionText(std::vector<unsigned char>& data, const std::wstring& name) {
    const auto* translation = static_cast<const WORD*>(VersionValue(data, L"\\VarFileInfo\\Translation"));
    if (translation == nullptr) {
        return {};
    }
    wchar_t block[40];
    swprintf(block, 40, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    const auto* text = static_cast<const wchar_t*>(VersionValue(data, block + name));
    return text ? platform::Utf8FromWide(text) : std::string();
}

TEST(FileResourcesWindows, ProgramAndLanguageLibraryCarryTheirVersionFacts) {
    const struct {
        const char* fileName;
        const char* description;
    } files[] = {
        {"LumikartaSystemInfo.exe", "Lumikarta SystemInfo"},
        {"LumikartaSystemInfoENU.dll", "Lumikarta SystemInfo English texts"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.fileName);
        const std::filesystem::path path = platform::ProgramFile().parent_path() / file.fileName;
        std::vector<unsigned char> data(GetFileVersionInfoSizeW(path.c_str(), nullptr));
        ASSERT_FALSE(data.empty());
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(VersionValue(data, L"\\"));
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                      std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                      std::to_string(HIWORD(fixed->dwFileVersionLS)),
                  LUMIKARTA_VERSION);
        EXPECT_EQ(VersionText(data, L"FileVersion"), LUMIKARTA_VERSION);
        EXPECT_EQ(VersionText(data, L"ProductName"), "Lumikarta Support und Update Tool");
        EXPECT_EQ(VersionText(data, L"FileDescription"), file.description);
        EXPECT_EQ(VersionText(data, L"OriginalFilename"), file.fileName);
    }
}

TEST(FileResourcesWindows, ProgramCarriesTheApplicationIconInEverySize) {
    const std::filesystem::path program = platform::ProgramFile().parent_path() / "LumikartaSystemInfo.exe";
    EXPECT_GE(ExtractIconExW(program.c_str(), -1, nullptr, nullptr, 0), 1u);
    HMODULE module =
        LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    for (const int size : {16, 32, 48, 256}) {
        auto icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ICONINFO info = {};
        ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << size;
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(module);
}

// Without the manifest Windows 8.1 and later tell the program it runs on Windows 8, and its controls
// look as in Windows 2000; a manifest under the wrong resource type or id is ignored just the same.
TEST(FileResourcesWindows, ProgramCarriesItsManifestWhereWindowsLooksForIt) {
    const std::filesystem::path program = platform::ProgramFile().parent_path() / "LumikartaSystemInfo.exe";
    HMODULE module =
        LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC resource = FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                               SizeofResource(module, resource));
    for (const char* declared : {
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "level=\"asInvoker\"",
             ">PerMonitorV2, PerMonitor<",
         }) {
        EXPECT_NE(manifest.find(declared), std::string::npos) << declared;
    }
    FreeLibrary(module);
}

}  // namespace
