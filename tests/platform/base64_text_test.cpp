#include "platform/base64_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::literals;

std::optional<std::string> Decoded(std::string_view text) {
    const std::optional<std::vector<uint8_t>> bytes = platform::DecodeBase64Text(text);
    return bytes ? std::optional<std::string>(std::string(bytes->begin(), bytes->end())) : std::nullopt;
}

TEST(Base64Text, DecodesOnlyTheOneTextOfEachByteSequence) {
    struct Case {
        std::string_view text;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"", ""},
        {"TWFu", "Man"},
        {"TWE=", "Ma"},
        {"TQ==", "M"},
        {"+/+/", "\xfb\xff\xbf"},
        {" TW\r\nFu\tTQ\n==\n", "ManM"},
        {"TQ=", std::nullopt},       // padding short
        {"TQ", std::nullopt},        // padding missing
        {"TWFu====", std::nullopt},  // padding where none belongs
        {"TQ==TQ==", std::nullopt},  // data after padding
        {"T", std::nullopt},         // six bits make no byte
        {"TR==", std::nullopt},      // bits left over after the last byte
        {"TW-u", std::nullopt},      // URL alphabet
        {"TW\xc3\xa4u", std::nullopt},
        {"TW\0u"sv, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decoded(c.text), c.bytes) << c.text;
    }
}

}  // namespace
