#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

#include "platform/ecdsa_p256_signature.h"
#include "platform/p256_public_key.h"
#include "platform/signature_check.h"

namespace platform {

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

bool SignatureCheck::IsSignedBy(std::string_view document, const EcdsaP256Signature& signature,
                                const P256PublicKey& key) {
    const unsigned char* der = key.Der().data();
    // libcrypto checks that the point lies on the curve.
    const std::unique_ptr<EVP_PKEY, KeyDeleter> publicKey(
        d2i_PUBKEY(nullptr, &der, static_cast<long>(key.Der().size())));
    const std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    return publicKey && context &&
           EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, publicKey.get()) == 1 &&
           EVP_DigestVerify(context.get(), signature.Der().data(), signature.Der().size(),
                            reinterpret_cast<const unsigned char*>(document.data()), document.size()) == 1;
}

}  // namespace platform
