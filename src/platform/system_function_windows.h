#pragma once

#include <windows.h>

#include <string>

namespace platform {

// A function of a system library, looked up by name rather than linked, so the program still starts
// on a Windows that lacks it; null there. Its absence is a fact about the system, not a failure. A
// library the process has not mapped yet (the shell, which is loaded at its first call) is loaded
// from the system folder and stays, as a linked one would.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) {
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            module = LoadLibraryW((std::wstring(folder, length) + L"\\" + library).c_str());
        }
    }
    if (module == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace platform
