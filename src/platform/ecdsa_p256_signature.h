#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// An ECDSA P-256 signature as OpenSSL writes it (DER: a SEQUENCE of the INTEGERs r and s), accepted
// only in its one strict encoding and only with r and s in 1 … n-1, n the group order, so that no
// two byte sequences pass as the same signature and no value outside the group reaches a verifier.
class EcdsaP256Signature {
public:
    static std::optional<EcdsaP256Signature> FromDer(std::span<const uint8_t> der);

    const std::vector<uint8_t>& Der() const { return m_der; }
    // r and s, 32 big-endian bytes each, as CNG takes them.
    const std::array<uint8_t, 64>& RawRs() const { return m_rawRs; }

private:
    EcdsaP256Signature(std::vector<uint8_t> der, const std::array<uint8_t, 64>& rawRs);

    std::vector<uint8_t> m_der;
    std::array<uint8_t, 64> m_rawRs;
};

}  // namespace platform
