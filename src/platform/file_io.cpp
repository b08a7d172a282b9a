#include "platform/file_io.h"

#include <cstdio>
#include <memory>

namespace platform {

bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes) {
    bytes.clear();
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
    if (!in) {
        return false;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    // Files whose size is not known beforehand (/proc, pipes) are read in pieces.
    std::size_t capacity = error || size == 0 ? 64 * 1024 : static_cast<std::size_t>(size) + 1;
    std::size_t length = 0;
    for (;;) {
        bytes.resize(capacity);
        length += std::fread(bytes.data() + length, 1, capacity - length, in.get());
        if (length < capacity) {
            break;
        }
        capacity *= 2;
    }
    const bool failed = std::ferror(in.get()) != 0;
    bytes.resize(failed ? 0 : length);
    return !failed;
}

}  // namespace platform
