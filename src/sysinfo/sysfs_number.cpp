#include "sysinfo/sysfs_number.h"

#include <charconv>
#include <string>

#include "sysinfo/system_files.h"
#include "text/trim.h"

std::optional<uint64_t> ReadSysfsNumber(std::string_view absolutePath) {
    const std::string line = sysfiles::ReadSystemLine(absolutePath);
    std::string_view text = TrimWhiteSpace(line);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    // A value with anything after it is not the number it seems to start with.
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}
