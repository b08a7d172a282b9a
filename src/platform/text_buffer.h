#pragma once

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Text in memory: a string the program made, or the bytes of a file read in one go into memory that
// is not cleared first (a large hive loads faster so). It is a copy, not a mapping, so a file
// changed or cut short by another program later cannot pull the text away under the reader.
class TextBuffer {
public:
    struct FreeDeleter {
        void operator()(char* bytes) const { std::free(bytes); }
    };
    using Bytes = std::unique_ptr<char[], FreeDeleter>;

    TextBuffer() = default;
    TextBuffer(std::string text);  // NOLINT: a string is a buffer
    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // The whole file, also one whose size is not known beforehand; false when it cannot be read.
    static bool FromFile(const std::filesystem::path& file, TextBuffer& buffer);

    std::string_view View() const { return m_view; }
    // Drops the first n bytes (a byte-order mark).
    void RemovePrefix(std::size_t n) { m_view.remove_prefix(n); }

private:
    std::string m_owned;
    Bytes m_pRead;
    std::string_view m_view;
};

}  // namespace platform
