#include "update/format_size.h"

#include "text/fixed_decimal.h"

std::string FormatSize(int64_t bytes) {
    constexpr int64_t kKilobyte = 1024;
    constexpr int64_t kMegabyte = 1024 * 1024;
    if (bytes > kMegabyte) {
        return FixedDecimal(static_cast<double>(bytes) / kMegabyte, 2) + " MB";
    }
    if (bytes > kKilobyte) {
        return FixedDecimal(static_cast<double>(bytes) / kKilobyte, 2) + " KB";
    }
    return std::to_string(bytes) + " Bytes";
}
