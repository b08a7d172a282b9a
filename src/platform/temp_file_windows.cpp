#include <windows.h>

#include <string>

#include "platform/temp_file.h"
#include "platform/wide_text_windows.h"

namespace platform {
namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// The first three characters, not bytes, so a prefix that starts with a non-ASCII letter is not cut
// inside it.
std::wstring NamePrefix(std::string_view prefix) {
    const std::wstring wide = WideFromUtf8(prefix);
    std::size_t end = 0;
    for (int chars = 0; chars < 3 && end < wide.size(); ++chars) {
        end += IS_HIGH_SURROGATE(wide[end]) && end + 1 < wide.size() ? 2 : 1;
    }
    return wide.substr(0, end);
}

}  // namespace

std::optional<std::filesystem::path> WriteTempFile(std::string_view prefix, std::string_view bytes) {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD folderLength = GetTempPathW(MAX_PATH + 1, folder);
    if (folderLength == 0 || folderLength > MAX_PATH) {
        return std::nullopt;
    }
    // GetTempFileNameW creates the file, empty, so the name is ours before anything is written.
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(folder, NamePrefix(prefix).c_str(), 0, name) == 0) {
        return std::nullopt;
    }
    const HANDLE file =
        CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return std::nullopt;
    }
    const bool written = WriteAll(file, bytes);
    const bool closed = CloseHandle(file) != 0;
    if (!written || !closed) {
        DeleteFileW(name);
        return std::nullopt;
    }
    return std::filesystem::path(name);
}

}  // namespace platform
