#include <windows.h>

#include <shlobj.h>

#include <string>

#include "platform/common_app_data.h"
#include "platform/wide_text_windows.h"

namespace platform {

namespace {

// The variable's value read in UTF-16, so a folder name outside the ANSI code page survives.
std::wstring EnvironmentValue(const wchar_t* name) {
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            return {};
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        // Too small: the length needed, terminator included.
        value.assign(length, L'\0');
    }
}

}  // namespace

std::string CommonAppDataFolder() {
    const std::wstring overridden = EnvironmentValue(L"LUMIKARTA_COMMON_APPDATA");
    if (!overridden.empty()) {
        return Utf8FromWide(overridden);
    }
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return {};
    }
    return Utf8FromWide(folder);
}

}  // namespace platform
