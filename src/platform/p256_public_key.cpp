#include "platform/p256_public_key.h"

#include <algorithm>
#include <vector>

#include "platform/base64_text.h"

namespace platform {

namespace {

constexpr std::string_view kBegin = "-----BEGIN PUBLIC KEY-----";
constexpr std::string_view kEnd = "-----END PUBLIC KEY-----";

// SEQUENCE { SEQUENCE { OID id-ecPublicKey, OID prime256v1 }, BIT STRING (no unused bits) 0x04 … }
constexpr std::array<uint8_t, P256PublicKey::kDerSize - P256PublicKey::kPointSize + 1> kDerPrefix = {
    0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01, 0x06,
    0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};

}  // namespace

std::optional<P256PublicKey> P256PublicKey::FromPem(std::string_view pem) {
    const std::size_t begin = pem.find(kBegin);
    const std::size_t end = pem.find(kEnd);
    // A second block would be a key silently left out.
    if (begin == std::string_view::npos || end == std::string_view::npos || end < begin ||
        pem.find(kBegin, begin + kBegin.size()) != std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t bodyStart = begin + kBegin.size();
    const std::optional<std::vector<uint8_t>> der = DecodeBase64Text(pem.substr(bodyStart, end - bodyStart));
    if (!der || der->size() != kDerSize || !std::equal(kDerPrefix.begin(), kDerPrefix.end(), der->begin())) {
        return std::nullopt;
    }
    std::array<uint8_t, kDerSize> bytes{};
    std::copy(der->begin(), der->end(), bytes.begin());
    return P256PublicKey(bytes);
}

}  // namespace platform
