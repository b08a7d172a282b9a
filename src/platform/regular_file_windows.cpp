#include <windows.h>

#include <algorithm>

#include "platform/file_handle_windows.h"
#include "platform/regular_file.h"
#include "platform/wide_text_windows.h"

namespace platform {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    // Whoever delivers the file may replace it while it is read; the size check holds all the same.
    const FileHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION facts = {};
    if (!file.IsOpen() || GetFileType(file.Get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.Get(), &facts) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    const unsigned long long size =
        (static_cast<unsigned long long>(facts.nFileSizeHigh) << 32) | facts.nFileSizeLow;
    if (size > maxBytes) {
        return std::nullopt;
    }
    return ReadToEnd(static_cast<std::size_t>(size), maxBytes,
                     [&](char* into, std::size_t room) -> std::optional<std::size_t> {
                         DWORD read = 0;
                         const auto wanted = static_cast<DWORD>(std::min<std::size_t>(room, 0x40000000));
                         if (!ReadFile(file.Get(), into, wanted, &read, nullptr)) {
                             return std::nullopt;
                         }
                         return read;
                     });
}

}  // namespace platform
