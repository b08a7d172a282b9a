#include "text/leading_integer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

int LeadingInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
