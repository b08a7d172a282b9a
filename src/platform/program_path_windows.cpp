#include <windows.h>

#include <string>

#include "platform/program_path.h"

namespace platform {

std::filesystem::path ProgramFile() {
    // Paths may exceed MAX_PATH; the call cuts the name and says so by filling the buffer.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace platform
