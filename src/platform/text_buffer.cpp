#include "platform/text_buffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/file_io.h"

namespace platform {

TextBuffer::TextBuffer(std::string text) : m_owned(std::move(text)), m_view(m_owned) {}

TextBuffer::~TextBuffer() {
    Release();
}

TextBuffer::TextBuffer(TextBuffer&& other) noexcept {
    *this = std::move(other);
}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        const char* otherBase =
            other.m_pMapping != nullptr ? static_cast<const char*>(other.m_pMapping) : other.m_owned.data();
        const std::size_t offset =
            other.m_view.empty() ? 0 : static_cast<std::size_t>(other.m_view.data() - otherBase);
        const std::size_t length = other.m_view.size();
        m_owned = std::move(other.m_owned);
        m_pMapping = std::exchange(other.m_pMapping, nullptr);
        m_nMappingSize = std::exchange(other.m_nMappingSize, 0);
        const char* base = m_pMapping != nullptr ? static_cast<const char*>(m_pMapping) : m_owned.data();
        m_view = std::string_view(base + offset, length);
        other.m_view = {};
    }
    return *this;
}

void TextBuffer::Release() {
    if (m_pMapping != nullptr) {
        ::munmap(m_pMapping, m_nMappingSize);
        m_pMapping = nullptr;
        m_nMappingSize = 0;
    }
    m_owned.clear();
    m_view = {};
}

bool TextBuffer::FromFile(const std::filesystem::path& file, TextBuffer& buffer) {
    buffer.Release();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    void* mapping = MAP_FAILED;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        mapping = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                         MAP_PRIVATE | MAP_POPULATE, fd, 0);
    }
    ::close(fd);
    if (mapping != MAP_FAILED) {
        buffer.m_pMapping = mapping;
        buffer.m_nMappingSize = static_cast<std::size_t>(info.st_size);
        buffer.m_view = std::string_view(static_cast<const char*>(mapping), buffer.m_nMappingSize);
        return true;
    }
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) {
        return false;
    }
    buffer = TextBuffer(std::move(bytes));
    return true;
}

}  // namespace platform
