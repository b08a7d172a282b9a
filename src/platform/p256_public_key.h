#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// A P-256 public key as `openssl pkey -pubout` writes it: one PEM "PUBLIC KEY" block holding the
// DER SubjectPublicKeyInfo of an EC key on the named curve P-256, its point uncompressed. Every such
// key has the same 91-byte DER form, so nothing else is accepted: the verifiers of both platforms
// then trust exactly the same keys.
class P256PublicKey {
public:
    static constexpr std::size_t kDerSize = 91;
    static constexpr std::size_t kPointSize = 65;

    static std::optional<P256PublicKey> FromPem(std::string_view pem);

    std::span<const uint8_t> Der() const { return m_der; }
    // 0x04, then X and Y, 32 big-endian bytes each.
    std::span<const uint8_t> Point() const { return std::span(m_der).last(kPointSize); }

private:
    explicit P256PublicKey(const std::array<uint8_t, kDerSize>& der) : m_der(der) {}

    std::array<uint8_t, kDerSize> m_der;
};

}  // namespace platform
