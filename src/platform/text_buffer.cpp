#include "platform/text_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

namespace {

// Reads until `capacity` bytes are in or the file ends; the count read, or -1 on an error.
ssize_t ReadUpTo(int fd, char* into, std::size_t capacity) {
    std::size_t length = 0;
    while (length < capacity) {
        const ssize_t n = ::read(fd, into + length, capacity - length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        length += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(length);
}

// A file whose size is not known beforehand (a pipe, a /proc file that says 0), read in growing
// pieces.
bool ReadUnsized(int fd, std::string& bytes) {
    std::size_t capacity = 64 * 1024;
    for (std::size_t length = 0;; capacity *= 2) {
        bytes.resize(capacity);
        const ssize_t n = ReadUpTo(fd, bytes.data() + length, capacity - length);
        if (n < 0) {
            return false;
        }
        length += static_cast<std::size_t>(n);
        if (length < capacity) {
            bytes.resize(length);
            return true;
        }
    }
}

}  // namespace

bool TextBuffer::FromFile(const std::filesystem::path& file, TextBuffer& buffer) {
    buffer = TextBuffer();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool read = false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        // Memory not cleared first, in huge pages when large: a big hive then loads at the speed of
        // reading it. A file cut short since fstat is what is there.
        const auto size = static_cast<std::size_t>(info.st_size);
        Bytes bytes(static_cast<char*>(HugePageAllocator<char>::TryAllocate(size)));
        const ssize_t length = bytes ? ReadUpTo(fd, bytes.get(), size) : -1;
        if (length >= 0) {
            buffer.m_pRead = std::move(bytes);
            buffer.m_view = std::string_view(buffer.m_pRead.get(), static_cast<std::size_t>(length));
            read = true;
        }
    } else {
        std::string bytes;
        read = ReadUnsized(fd, bytes);
        if (read) {
            buffer = TextBuffer(std::move(bytes));
        }
    }
    ::close(fd);
    return read;
}

}  // namespace platform
