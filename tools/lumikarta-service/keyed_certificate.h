#pragma once

#include <filesystem>
#include <optional>

#include "lumikarta-service/openssl_ptr.h"

// A private key and the X.509 certificate made for it: a certificate authority that vouches for this
// machine's loopback names only, or a server certificate for "localhost" and 127.0.0.1 that such an
// authority signed. Making and writing throw std::runtime_error when OpenSSL or the disk fails.
class KeyedCertificate {
public:
    // A new authority with a new key.
    static KeyedCertificate NewAuthority();
    // The pair in the two PEM files; none when either cannot be read or the key is not the certificate's.
    static std::optional<KeyedCertificate> Read(const std::filesystem::path& certificateFile,
                                                const std::filesystem::path& keyFile);

    // A new server certificate with a new key, signed by this authority.
    KeyedCertificate IssueServerCertificate() const;

    X509* Certificate() const { return m_certificate.get(); }
    EVP_PKEY* Key() const { return m_key.get(); }

    // As PEM; the certificate readable by everyone, the key by its owner only.
    void WriteCertificate(const std::filesystem::path& file) const;
    void WriteKey(const std::filesystem::path& file) const;

private:
    KeyedCertificate(OpenSslPtr<X509> certificate, OpenSslPtr<EVP_PKEY> key);

    OpenSslPtr<X509> m_certificate;
    OpenSslPtr<EVP_PKEY> m_key;
};
