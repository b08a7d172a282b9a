#include "platform/ecdsa_p256_signature.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

using Scalar = std::array<uint8_t, 32>;

// The order of the P-256 group.
constexpr Scalar kGroupOrder = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0xE6, 0xFA, 0xAD, 0xA7, 0x17,
                                0x9E, 0x84, 0xF3, 0xB9, 0xCA, 0xC2, 0xFC, 0x63, 0x25, 0x51};

constexpr uint8_t kSequenceTag = 0x30;
constexpr uint8_t kIntegerTag = 0x02;
// DER writes lengths below 128 in one byte; a signature never needs more.
constexpr uint8_t kLongLengthForm = 0x80;

// Reads one DER INTEGER at `position` into a scalar in 1 … n-1 and moves past it.
std::optional<Scalar> ReadScalar(std::span<const uint8_t> der, std::size_t& position) {
    if (der.size() - position < 2 || der[position] != kIntegerTag || der[position + 1] >= kLongLengthForm) {
        return std::nullopt;
    }
    const std::size_t length = der[position + 1];
    position += 2;
    if (length == 0 || length > der.size() - position) {
        return std::nullopt;
    }
    std::span<const uint8_t> content = der.subspan(position, length);
    position += length;
    if ((content[0] & 0x80) != 0) {
        return std::nullopt;  // negative
    }
    if (content[0] == 0 && content.size() > 1) {
        if ((content[1] & 0x80) == 0) {
            return std::nullopt;  // a leading zero byte that DER does not write
        }
        content = content.subspan(1);
    }
    if (content.size() > Scalar().size()) {
        return std::nullopt;
    }
    Scalar scalar{};
    std::copy(content.begin(), content.end(), scalar.end() - static_cast<std::ptrdiff_t>(content.size()));
    const bool zero = std::all_of(scalar.begin(), scalar.end(), [](uint8_t byte) { return byte == 0; });
    if (zero ||
        !std::lexicographical_compare(scalar.begin(), scalar.end(), kGroupOrder.begin(), kGroupOrder.end())) {
        return std::nullopt;
    }
    return scalar;
}

}  // namespace

EcdsaP256Signature::EcdsaP256Signature(std::vector<uint8_t> der, const std::array<uint8_t, 64>& rawRs)
    : m_der(std::move(der)), m_rawRs(rawRs) {}

std::optional<EcdsaP256Signature> EcdsaP256Signature::FromDer(std::span<const uint8_t> der) {
    if (der.size() < 2 || der[0] != kSequenceTag || der[1] >= kLongLengthForm || der[1] != der.size() - 2) {
        return std::nullopt;
    }
    std::size_t position = 2;
    const std::optional<Scalar> r = ReadScalar(der, position);
    if (!r) {
        return std::nullopt;
    }
    const std::optional<Scalar> s = ReadScalar(der, position);
    if (!s || position != der.size()) {
        return std::nullopt;
    }
    std::array<uint8_t, 64> rawRs{};
    std::copy(r->begin(), r->end(), rawRs.begin());
    std::copy(s->begin(), s->end(), rawRs.begin() + 32);
    return EcdsaP256Signature(std::vector<uint8_t>(der.begin(), der.end()), rawRs);
}

}  // namespace platform
