#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Text held either in memory or as a read-only mapping of a file, so a large hive is read without
// copying it.
class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(std::string text);  // NOLINT: a string is a buffer
    ~TextBuffer();
    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Maps a regular file, reads anything else; false when it cannot be read.
    static bool FromFile(const std::filesystem::path& file, TextBuffer& buffer);

    std::string_view View() const { return m_view; }
    // Drops the first n bytes (a byte-order mark).
    void RemovePrefix(std::size_t n) { m_view.remove_prefix(n); }

private:
    void Release();

    std::string m_owned;
    void* m_pMapping = nullptr;
    std::size_t m_nMappingSize = 0;
    std::string_view m_view;
};

}  // namespace platform
