#include <algorithm>

#include "platform/regular_file.h"

namespace platform {

std::optional<std::string> ReadToEnd(
    std::size_t sizeSeen, std::size_t maxBytes,
    const std::function<std::optional<std::size_t>(char*, std::size_t)>& readSome) {
    // One byte more than expected, so the end is seen without a second buffer.
    std::string bytes(std::min(sizeSeen, maxBytes) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) {
                return std::nullopt;
            }
            bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
        }
        const std::optional<std::size_t> got = readSome(bytes.data() + filled, bytes.size() - filled);
        if (!got) {
            return std::nullopt;
        }
        if (*got == 0) {
            bytes.resize(filled);
            return bytes;
        }
        filled += *got;
    }
}

}  // namespace platform
