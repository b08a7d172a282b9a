#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace platform {

class EcdsaP256Signature;
class P256PublicKey;

// Whether one of the trusted keys signed a document: the signature file's text is base64 (line
// breaks and surrounding white space allowed) of an ECDSA P-256 signature over the SHA-256 of the
// document's exact bytes, in the DER form OpenSSL writes. The platform's own cryptography checks it:
// libcrypto on Linux, CNG on Windows.
class SignatureCheck {
public:
    // A signature file is about a hundred bytes; more is not one.
    static constexpr std::size_t kMaxSignatureTextSize = 8 * 1024;

    // `trustedKeysPem`: P-256 public keys as PEM. A key that is not one signs nothing, and any
    // failure of the platform counts as not signed.
    static bool IsSignedByAny(std::string_view document, std::string_view signatureText,
                              std::span<const std::string> trustedKeysPem);

private:
    static bool IsSignedBy(std::string_view document, const EcdsaP256Signature& signature,
                           const P256PublicKey& key);
};

}  // namespace platform
