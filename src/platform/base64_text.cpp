#include "platform/base64_text.h"

#include <array>

namespace platform {

namespace {

constexpr int kNotBase64 = -1;

constexpr std::array<int, 256> MakeDigitValues() {
    std::array<int, 256> values{};
    values.fill(kNotBase64);
    constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
    }
    return values;
}

constexpr std::array<int, 256> kDigitValues = MakeDigitValues();

bool IsAsciiWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<std::vector<uint8_t>> DecodeBase64Text(std::string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    uint32_t pending = 0;  // the bits of the digits not yet written out
    int pendingBits = 0;
    std::size_t digits = 0;
    std::size_t padding = 0;
    for (const char c : text) {
        if (IsAsciiWhiteSpace(c)) {
            continue;
        }
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = kDigitValues[static_cast<unsigned char>(c)];
        if (value == kNotBase64 || padding != 0) {
            return std::nullopt;
        }
        ++digits;
        pending = (pending << 6) | static_cast<uint32_t>(value);
        pendingBits += 6;
        if (pendingBits >= 8) {
            pendingBits -= 8;
            bytes.push_back(static_cast<uint8_t>(pending >> pendingBits));
            pending &= (1u << pendingBits) - 1;
        }
    }
    // A last group of two or three digits carries one or two bytes and needs two or one "=".
    const std::size_t lastGroup = digits % 4;
    const std::size_t paddingNeeded = lastGroup == 0 ? 0 : 4 - lastGroup;
    if (lastGroup == 1 || padding != paddingNeeded || pending != 0) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace platform
