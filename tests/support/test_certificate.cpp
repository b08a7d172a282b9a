#include "support/test_certificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>

namespace {

struct OpenSslDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
    void operator()(BIO* bio) const { BIO_free_all(bio); }
};
template <typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslDeleter>;

void Require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("test certificate: ") + what);
    }
}

struct Extension {
    int nid;
    const char* value;
};

// A certificate for `key` named `commonName`; self-signed when no issuer is given.
OpenSslPtr<X509> MakeCertificate(EVP_PKEY* key, const char* commonName, long serial,
                                 std::initializer_list<Extension> extensions, X509* issuer = nullptr,
                                 EVP_PKEY* issuerKey = nullptr) {
    OpenSslPtr<X509> certificate(X509_new());
    Require(certificate != nullptr, "X509_new");
    X509* cert = certificate.get();
    Require(X509_set_version(cert, 2) == 1, "version");
    Require(ASN1_INTEGER_set(X509_get_serialNumber(cert), serial) == 1, "serial");
    // An hour of slack for clocks that differ a little.
    Require(X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr, "notBefore");
    Require(X509_gmtime_adj(X509_getm_notAfter(cert), 24L * 3600) != nullptr, "notAfter");
    Require(X509_set_pubkey(cert, key) == 1, "public key");
    X509_NAME* name = X509_get_subject_name(cert);
    Require(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0) == 1,
            "common name");
    X509* signer = issuer != nullptr ? issuer : cert;
    Require(X509_set_issuer_name(cert, X509_get_subject_name(signer)) == 1, "issuer");

    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, signer, cert, nullptr, nullptr, 0);
    for (const Extension& extension : extensions) {
        OpenSslPtr<X509_EXTENSION> made(
            X509V3_EXT_conf_nid(nullptr, &context, extension.nid, extension.value));
        Require(made != nullptr && X509_add_ext(cert, made.get(), -1) == 1, extension.value);
    }
    Require(X509_sign(cert, issuerKey != nullptr ? issuerKey : key, EVP_sha256()) > 0, "sign");
    return certificate;
}

OpenSslPtr<BIO> OpenForWriting(const std::string& path) {
    OpenSslPtr<BIO> out(BIO_new_file(path.c_str(), "w"));
    Require(out != nullptr, "open PEM file");
    return out;
}

void WriteCertificate(const std::string& path, X509* certificate) {
    Require(PEM_write_bio_X509(OpenForWriting(path).get(), certificate) == 1, "write certificate");
}

void WriteKey(const std::string& path, EVP_PKEY* key) {
    Require(
        PEM_write_bio_PrivateKey(OpenForWriting(path).get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
        "write key");
}

}  // namespace

TestCertificate::TestCertificate()
    : m_caFile(m_dir.FilePath("ca.pem")),
      m_certificateFile(m_dir.FilePath("server.pem")),
      m_keyFile(m_dir.FilePath("server-key.pem")) {
    OpenSslPtr<EVP_PKEY> caKey(EVP_EC_gen("P-256"));
    OpenSslPtr<EVP_PKEY> serverKey(EVP_EC_gen("P-256"));
    Require(caKey != nullptr && serverKey != nullptr, "key generation");

    const OpenSslPtr<X509> ca = MakeCertificate(caKey.get(), "LumikartaSystemInfo Test CA", 1,
                                                {{NID_basic_constraints, "critical,CA:TRUE"},
                                                 {NID_key_usage, "critical,keyCertSign,cRLSign"},
                                                 {NID_subject_key_identifier, "hash"}});
    const OpenSslPtr<X509> server =
        MakeCertificate(serverKey.get(), "127.0.0.1", 2,
                        {{NID_basic_constraints, "critical,CA:FALSE"},
                         {NID_key_usage, "critical,digitalSignature,keyEncipherment"},
                         {NID_ext_key_usage, "serverAuth"},
                         {NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1"},
                         {NID_subject_key_identifier, "hash"},
                         {NID_authority_key_identifier, "keyid:always"}},
                        ca.get(), caKey.get());

    WriteCertificate(m_caFile, ca.get());
    WriteCertificate(m_certificateFile, server.get());
    WriteKey(m_keyFile, serverKey.get());
}
