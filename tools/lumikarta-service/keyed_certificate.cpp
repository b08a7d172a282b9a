#include "lumikarta-service/keyed_certificate.h"

#include <openssl/pem.h>
#include <openssl/rand.h>

#include <chrono>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

#include "lumikarta-service/atomic_file.h"

namespace {

constexpr std::chrono::seconds kAuthorityLifetime = std::chrono::days(10 * 365);
constexpr std::chrono::seconds kServerLifetime = std::chrono::days(2 * 365);

void Require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("certificate: ") + what);
    }
}

struct Extension {
    int nid;
    const char* value;
};

// Random serial numbers: a client that saw an earlier certificate of an authority must never
// meet a different one under the same issuer and serial.
void SetRandomSerial(X509* certificate) {
    unsigned char bytes[16];
    Require(RAND_bytes(bytes, sizeof bytes) == 1, "random serial");
    bytes[0] &= 0x7f;  // positive
    OpenSslPtr<BIGNUM> number(BN_bin2bn(bytes, sizeof bytes, nullptr));
    Require(
        number != nullptr && BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate)) != nullptr,
        "serial");
}

OpenSslPtr<EVP_PKEY> MakeKey() {
    OpenSslPtr<EVP_PKEY> key(EVP_EC_gen("P-256"));
    Require(key != nullptr, "key generation");
    return key;
}

// A certificate for `key`; self-signed when no issuer is given.
OpenSslPtr<X509> MakeCertificate(EVP_PKEY* key, const char* commonName, std::chrono::seconds lifetime,
                                 std::initializer_list<Extension> extensions, X509* issuer = nullptr,
                                 EVP_PKEY* issuerKey = nullptr) {
    OpenSslPtr<X509> certificate(X509_new());
    Require(certificate != nullptr, "X509_new");
    X509* cert = certificate.get();
    Require(X509_set_version(cert, 2) == 1, "version");
    SetRandomSerial(cert);
    // An hour of slack for a client whose clock is a little behind.
    Require(X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr, "notBefore");
    Require(X509_gmtime_adj(X509_getm_notAfter(cert), lifetime.count()) != nullptr, "notAfter");
    Require(X509_set_pubkey(cert, key) == 1, "public key");
    X509_NAME* name = X509_get_subject_name(cert);
    Require(X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>("Lumikarta reference service"),
                                       -1, -1, 0) == 1,
            "organisation");
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

OpenSslPtr<BIO> OpenForReading(const std::filesystem::path& path) {
    return OpenSslPtr<BIO>(BIO_new_file(path.c_str(), "r"));
}

std::string MemoryText(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

void Publish(const std::filesystem::path& path, BIO* pem, std::filesystem::perms mode) {
    const std::error_code error =
        AtomicFile::Write(path, MemoryText(pem), AtomicFile::Existing::Replace, mode);
    if (error) {
        throw std::runtime_error("certificate: cannot write " + path.string() + ": " + error.message());
    }
}

}  // namespace

KeyedCertificate::KeyedCertificate(OpenSslPtr<X509> certificate, OpenSslPtr<EVP_PKEY> key)
    : m_certificate(std::move(certificate)), m_key(std::move(key)) {}

KeyedCertificate KeyedCertificate::NewAuthority() {
    OpenSslPtr<EVP_PKEY> key = MakeKey();
    // Limited to this machine's loopback names: whoever trusts the authority trusts nothing else by
    // it, even should its key leak.
    OpenSslPtr<X509> certificate = MakeCertificate(
        key.get(), "Lumikarta reference service CA", kAuthorityLifetime,
        {{NID_basic_constraints, "critical,CA:TRUE,pathlen:0"},
         {NID_key_usage, "critical,keyCertSign,cRLSign"},
         {NID_name_constraints, "critical,permitted;DNS:localhost,permitted;IP:127.0.0.1/255.255.255.255"},
         {NID_subject_key_identifier, "hash"}});
    return KeyedCertificate(std::move(certificate), std::move(key));
}

std::optional<KeyedCertificate> KeyedCertificate::Read(const std::filesystem::path& certificateFile,
                                                       const std::filesystem::path& keyFile) {
    const OpenSslPtr<BIO> certificateIn = OpenForReading(certificateFile);
    OpenSslPtr<X509> certificate(
        certificateIn ? PEM_read_bio_X509(certificateIn.get(), nullptr, nullptr, nullptr) : nullptr);
    const OpenSslPtr<BIO> keyIn = OpenForReading(keyFile);
    OpenSslPtr<EVP_PKEY> key(keyIn ? PEM_read_bio_PrivateKey(keyIn.get(), nullptr, nullptr, nullptr)
                                   : nullptr);
    if (certificate == nullptr || key == nullptr ||
        X509_check_private_key(certificate.get(), key.get()) != 1) {
        return std::nullopt;
    }
    return KeyedCertificate(std::move(certificate), std::move(key));
}

KeyedCertificate KeyedCertificate::IssueServerCertificate() const {
    OpenSslPtr<EVP_PKEY> key = MakeKey();
    OpenSslPtr<X509> certificate =
        MakeCertificate(key.get(), "localhost", kServerLifetime,
                        {{NID_basic_constraints, "critical,CA:FALSE"},
                         {NID_key_usage, "critical,digitalSignature,keyEncipherment"},
                         {NID_ext_key_usage, "serverAuth"},
                         {NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1"},
                         {NID_subject_key_identifier, "hash"},
                         {NID_authority_key_identifier, "keyid:always"}},
                        m_certificate.get(), m_key.get());
    return KeyedCertificate(std::move(certificate), std::move(key));
}

void KeyedCertificate::WriteCertificate(const std::filesystem::path& file) const {
    const OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    Require(out != nullptr && PEM_write_bio_X509(out.get(), m_certificate.get()) == 1, "encode certificate");
    using std::filesystem::perms;
    Publish(file, out.get(), perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
}

void KeyedCertificate::WriteKey(const std::filesystem::path& file) const {
    const OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    Require(out != nullptr &&
                PEM_write_bio_PrivateKey(out.get(), m_key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "encode key");
    using std::filesystem::perms;
    Publish(file, out.get(), perms::owner_read | perms::owner_write);
}
