#include "text/fixed_decimal.h"

#include <array>
#include <charconv>

std::string FixedDecimal(double value, int precision) {
    std::array<char, 64> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed, precision);
    return result.ec == std::errc() ? std::string(digits.data(), result.ptr) : std::string();
}
