#pragma once

#include <windows.h>

#include <string>

// A REG_SZ value; without a name only its key is meant.
struct RegistryText {
    std::wstring key;
    const wchar_t* name = nullptr;
    std::wstring text;
};

// Writes the value straight through Win32, creating its key first, so a test's setup does not depend
// on the program's own registry code.
inline bool WriteRegistryText(HKEY parent, const RegistryText& value, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, value.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
    const bool written =
        value.name == nullptr ||
        RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                       bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}
