#include <windows.h>

#include <algorithm>

#include "platform/replacing_file.h"
#include "platform/wide_text_windows.h"

namespace platform {
namespace {

HANDLE Native(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::string LastErrorText() {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text =
        length != 0 && buffer != nullptr ? Utf8FromWide(std::wstring_view(buffer, length)) : "";
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace

ReplacingFile::Creation ReplacingFile::CreateExclusive() {
    // CREATE_NEW: never a file that someone else put there.
    const HANDLE file = CreateFileW(m_temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        m_reason = LastErrorText();
        return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ? Creation::NameTaken
                                                                         : Creation::Failed;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    return Creation::Created;
}

bool ReplacingFile::WriteNative(const char* data, std::size_t size) {
    while (size != 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
        DWORD written = 0;
        if (!WriteFile(Native(m_handle), data, piece, &written, nullptr) || written == 0) {
            m_reason = LastErrorText();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool ReplacingFile::Close(bool durable) {
    const bool flushed = !durable || FlushFileBuffers(Native(m_handle)) != 0;
    if (!flushed) {
        m_reason = LastErrorText();
    }
    const bool closed = CloseHandle(Native(m_handle)) != 0;
    if (flushed && !closed) {
        m_reason = LastErrorText();
    }
    m_handle = kNoHandle;
    return flushed && closed;
}

void ReplacingFile::CloseQuietly() {
    if (m_handle != kNoHandle) {
        CloseHandle(Native(m_handle));
        m_handle = kNoHandle;
    }
}

bool ReplacingFile::MoveOverTarget() {
    if (!MoveFileExW(m_temporary.c_str(), m_target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        m_reason = LastErrorText();
        return false;
    }
    return true;
}

}  // namespace platform
