#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "lumikarta-service/openssl_ptr.h"

// The maker's private key for update definitions: ECDSA on P-256. It signs as
// `openssl dgst -sha256 -sign private.pem FILE | base64` does, so a definition signed either way
// passes the program's check.
class UpdateSigningKey {
public:
    // A new key; throws std::runtime_error when OpenSSL fails.
    static UpdateSigningKey Generate();
    // The key of a PEM private-key file; none when it cannot be read or is no P-256 key.
    static std::optional<UpdateSigningKey> Read(const std::filesystem::path& file);

    // As PEM, readable by its owner only; an existing file is never replaced. Returns the error.
    std::error_code WritePrivateKey(const std::filesystem::path& file) const;
    // The public half as PEM (SubjectPublicKeyInfo), what the program is built to trust.
    std::string PublicKeyPem() const;
    // The text of the signature file: base64 of the DER signature over the document's SHA-256, one
    // line. Throws std::runtime_error when OpenSSL fails.
    std::string SignatureText(std::string_view document) const;

private:
    explicit UpdateSigningKey(OpenSslPtr<EVP_PKEY> key) : m_key(std::move(key)) {}

    OpenSslPtr<EVP_PKEY> m_key;
};
