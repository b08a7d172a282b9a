#pragma once

#include <windows.h>

namespace platform {

// A function of a system library the process has already mapped (kernel32, user32), looked up by name
// rather than linked, so the program still starts on a Windows that lacks it; null there. Its absence
// is a fact about the system, not a failure.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace platform
