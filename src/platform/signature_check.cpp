#include "platform/signature_check.h"

#include <optional>
#include <vector>

#include "platform/base64_text.h"
#include "platform/ecdsa_p256_signature.h"
#include "platform/p256_public_key.h"

namespace platform {

bool SignatureCheck::IsSignedByAny(std::string_view document, std::string_view signatureText,
                                   std::span<const std::string> trustedKeysPem) {
    if (signatureText.size() > kMaxSignatureTextSize) {
        return false;
    }
    const std::optional<std::vector<uint8_t>> der = DecodeBase64Text(signatureText);
    const std::optional<EcdsaP256Signature> signature =
        der ? EcdsaP256Signature::FromDer(*der) : std::nullopt;
    if (!signature) {
        return false;
    }
    for (const std::string& pem : trustedKeysPem) {
        const std::optional<P256PublicKey> key = P256PublicKey::FromPem(pem);
        if (key && IsSignedBy(document, *signature, *key)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
