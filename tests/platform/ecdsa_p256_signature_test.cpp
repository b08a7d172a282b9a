#include "platform/ecdsa_p256_signature.h"

#include <gtest/gtest.h>

#include <array>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::array<uint8_t, 32> kOrder = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
                                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0xE6, 0xFA, 0xAD, 0xA7, 0x17,
                                            0x9E, 0x84, 0xF3, 0xB9, 0xCA, 0xC2, 0xFC, 0x63, 0x25, 0x51};

// Appended byte by byte: GCC 12 warns falsely of an overflow in an inlined range insert.
Bytes Plus(Bytes bytes, const Bytes& more) {
    for (const uint8_t byte : more) {
        bytes.push_back(byte);
    }
    return bytes;
}

Bytes Integer(const Bytes& content) {
    return Plus({0x02, static_cast<uint8_t>(content.size())}, content);
}

Bytes Sequence(const Bytes& r, const Bytes& s) {
    return Plus({0x30, static_cast<uint8_t>(r.size() + s.size())}, Plus(r, s));
}

Bytes OrderMinus(uint8_t amount) {
    Bytes value(kOrder.begin(), kOrder.end());
    value[31] = static_cast<uint8_t>(kOrder[31] - amount);
    return value;
}

const Bytes kSmall = Integer({0x01});
// The group order's top bit is set, so DER writes it behind a zero byte.
const Bytes kLargest = Integer(Plus({0x00}, OrderMinus(1)));

TEST(EcdsaP256Signature, AcceptsOnlyTheStrictDerOfScalarsInTheGroup) {
    struct Case {
        const char* name;
        Bytes der;
        bool accepted;
    };
    const Case cases[] = {
        {"small r and s", Sequence(kSmall, Integer({0x7F, 0x01})), true},
        {"r and s one below the order", Sequence(kLargest, kLargest), true},
        {"r at the order", Sequence(Integer(Plus({0x00}, Bytes(kOrder.begin(), kOrder.end()))), kSmall),
         false},
        {"s above the order", Sequence(kSmall, Integer(Plus({0x00}, Bytes(32, 0xFF)))), false},
        {"r of 33 bytes without a sign byte", Sequence(Integer(Plus({0x01}, OrderMinus(1))), kSmall), false},
        {"r zero", Sequence(Integer({0x00}), kSmall), false},
        {"s zero in two bytes", Sequence(kSmall, Integer({0x00, 0x00})), false},
        {"r negative", Sequence(Integer({0x80}), kSmall), false},
        {"s negative, all 32 bytes", Sequence(kSmall, Integer(OrderMinus(1))), false},
        {"r with a needless zero byte", Sequence(Integer({0x00, 0x01}), kSmall), false},
        {"r empty", Sequence(Integer({}), kSmall), false},
        {"s missing", Plus({0x30, 0x03}, kSmall), false},
        {"a third integer", Plus({0x30, 0x09}, Plus(Plus(kSmall, kSmall), kSmall)), false},
        {"trailing byte", Plus(Sequence(kSmall, kSmall), {0x00}), false},
        {"sequence length short", Plus({0x30, 0x05}, Plus(kSmall, kSmall)), false},
        {"sequence length in long form", Plus({0x30, 0x81, 0x06}, Plus(kSmall, kSmall)), false},
        {"integer length in long form", Sequence(Bytes{0x02, 0x81, 0x01, 0x01}, kSmall), false},
        {"integer length past the end", Sequence(kSmall, Bytes{0x02, 0x05, 0x01}), false},
        {"not a sequence", Plus({0x31, 0x06}, Plus(kSmall, kSmall)), false},
        {"not an integer", Sequence(Bytes{0x04, 0x01, 0x01}, kSmall), false},
        {"empty", {}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::EcdsaP256Signature::FromDer(c.der).has_value(), c.accepted) << c.name;
    }
}

TEST(EcdsaP256Signature, RawFormHoldsRAndSRightAligned) {
    const std::optional<platform::EcdsaP256Signature> signature =
        platform::EcdsaP256Signature::FromDer(Sequence(Integer({0x01, 0x02}), kLargest));
    ASSERT_TRUE(signature);
    std::array<uint8_t, 64> expected{};
    expected[30] = 0x01;
    expected[31] = 0x02;
    const Bytes s = OrderMinus(1);
    std::copy(s.begin(), s.end(), expected.begin() + 32);
    EXPECT_EQ(signature->RawRs(), expected);
}

}  // namespace
