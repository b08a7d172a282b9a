#include "platform/text_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_io.h"
#include "platform/huge_page_allocator.h"

namespace platform {

TextBuffer::TextBuffer(std::string text) : m_owned(std::move(text)), m_view(m_owned) {}

TextBuffer::TextBuffer(TextBuffer&& other) noexcept {
    *this = std::move(other);
}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
    if (this != &other) {
        // A short string moves its characters, so the view is placed anew at the same offset.
        const char* otherBase = other.m_pRead ? other.m_pRead.get() : other.m_owned.data();
        const std::size_t offset =
            other.m_view.empty() ? 0 : static_cast<std::size_t>(other.m_view.data() - otherBase);
        const std::size_t length = other.m_view.size();
        m_owned = std::move(other.m_owned);
        m_pRead = std::move(other.m_pRead);
        const char* base = m_pRead ? m_pRead.get() : m_owned.data();
        m_view = std::string_view(base + offset, length);
        other.m_owned.clear();
        other.m_view = {};
    }
    return *this;
}

bool TextBuffer::FromFile(const std::filesystem::path& file, TextBuffer& buffer) {
    buffer = TextBuffer();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        // Not a plain file (a pipe, /proc): read in pieces until its end.
        std::string bytes;
        if (!ReadWholeFile(file, bytes)) {
            return false;
        }
        buffer = TextBuffer(std::move(bytes));
        return true;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    // Memory not cleared first, in huge pages when large: a big hive then loads at the speed of
    // reading it.
    Bytes bytes(static_cast<char*>(HugePageAllocator<char>::TryAllocate(size)));
    if (!bytes) {
        ::close(fd);
        return false;
    }
    std::size_t length = 0;
    while (length < size) {
        const ssize_t n = ::read(fd, bytes.get() + length, size - length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;  // cut short since fstat: what is there is the file
        }
        length += static_cast<std::size_t>(n);
    }
    ::close(fd);
    buffer.m_pRead = std::move(bytes);
    buffer.m_view = std::string_view(buffer.m_pRead.get(), length);
    return true;
}

}  // namespace platform
