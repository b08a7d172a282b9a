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

// The file's version resource as Explorer reads it; empty when it has none.
class VersionResource {
public:
    explicit VersionResource(const std::filesystem::path& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        m_data.resize(size);
        if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, m_data.data())) {
            m_data.clear();
        }
    }

    bool Empty() const { return m_data.empty(); }

    // A text of the file's first translation.
    std::string Text(const std::wstring& name) {
        const auto* translation = static_cast<const WORD*>(Value(L"\\VarFileInfo\\Translation"));
        if (translation == nullptr) {
            return {};
        }
        wchar_t block[64];
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
        const auto* text = static_cast<const wchar_t*>(Value(block + name));
        return text ? platform::Utf8FromWide(text) : std::string();
    }

    std::string FixedFileVersion() {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Value(L"\\"));
        if (fixed == nullptr) {
            return {};
        }
        return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
               std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
               std::to_string(HIWORD(fixed->dwFileVersionLS));
    }

private:
    const void* Value(const std::wstring& path) {
        void* value = nullptr;
        UINT length = 0;
        if (Empty() || !VerQueryValueW(m_data.data(), path.c_str(), &value, &length) || length == 0) {
            return nullptr;
        }
        return value;
    }

    std::vector<unsigned char> m_data;
};

TEST(FileResourcesWindows, ProgramAndLanguageLibraryCarryTheirVersionFacts) {
    const std::filesystem::path folder = platform::ProgramFile().parent_path();
    const struct {
        const char* fileName;
        const char* description;
    } files[] = {
        {"LumikartaSystemInfo.exe", "Lumikarta SystemInfo"},
        {"LumikartaSystemInfoENU.dll", "Lumikarta SystemInfo English texts"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.fileName);
        VersionResource version(folder / file.fileName);
        ASSERT_FALSE(version.Empty());
        EXPECT_EQ(version.FixedFileVersion(), LUMIKARTA_VERSION);
        EXPECT_EQ(version.Text(L"FileVersion"), LUMIKARTA_VERSION);
        EXPECT_EQ(version.Text(L"ProductVersion"), LUMIKARTA_VERSION);
        EXPECT_EQ(version.Text(L"CompanyName"), "Lumikarta");
        EXPECT_EQ(version.Text(L"ProductName"), "Lumikarta Support und Update Tool");
        EXPECT_EQ(version.Text(L"FileDescription"), file.description);
        EXPECT_EQ(version.Text(L"OriginalFilename"), file.fileName);
        EXPECT_EQ(version.Text(L"LegalCopyright"), "Copyright © Lumikarta");
    }
}

TEST(FileResourcesWindows, ProgramCarriesTheApplicationIconInEverySize) {
    const std::filesystem::path program = platform::ProgramFile().parent_path() / "LumikartaSystemInfo.exe";
    EXPECT_GE(ExtractIconExW(program.c_str(), -1, nullptr, nullptr, 0), 1u);
    HMODULE module =
        LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    for (const int size : {16, 32, 48, 256}) {
        HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
    FreeLibrary(module);
}

}  // namespace
