#pragma once

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

// Frees each OpenSSL object with the function of its type, so no early return or exception leaks one.
struct OpenSslDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
    void operator()(BIO* bio) const { BIO_free_all(bio); }
    void operator()(BIGNUM* number) const { BN_free(number); }
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
template <typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslDeleter>;
