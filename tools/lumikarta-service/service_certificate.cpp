#include "lumikarta-service/service_certificate.h"

#include <fcntl.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/file.h>
#include <unistd.h>

#include <ctime>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

#include "lumikarta-service/atomic_file.h"

namespace {

constexpr long kDay = 24L * 3600;
constexpr long kAuthorityLifetime = 10 * 365 * kDay;
constexpr long kServerLifetime = 2 * 365 * kDay;
// Renew this long before the end, so a running demo does not fail in the middle.
constexpr long kAuthorityMargin = 30 * kDay;
constexpr long kServerMargin = 7 * kDay;

struct OpenSslDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
    void operator()(BIO* bio) const { BIO_free_all(bio); }
    void operator()(BIGNUM* number) const { BN_free(number); }
};
template <typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslDeleter>;

void Require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("service certificate: ") + what);
    }
}

struct Extension {
    int nid;
    const char* value;
};

// Random serial numbers: a client that saw an earlier certificate of this authority must never
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

// A certificate for `key`; self-signed when no issuer is given.
OpenSslPtr<X509> MakeCertificate(EVP_PKEY* key, const char* commonName, long lifetime,
                                 std::initializer_list<Extension> extensions, X509* issuer = nullptr,
                                 EVP_PKEY* issuerKey = nullptr) {
    OpenSslPtr<X509> certificate(X509_new());
    Require(certificate != nullptr, "X509_new");
    X509* cert = certificate.get();
    Require(X509_set_version(cert, 2) == 1, "version");
    SetRandomSerial(cert);
    // An hour of slack for a client whose clock is a little behind.
    Require(X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr, "notBefore");
    Require(X509_gmtime_adj(X509_getm_notAfter(cert), lifetime) != nullptr, "notAfter");
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

OpenSslPtr<EVP_PKEY> MakeKey() {
    OpenSslPtr<EVP_PKEY> key(EVP_EC_gen("P-256"));
    Require(key != nullptr, "key generation");
    return key;
}

OpenSslPtr<BIO> OpenForReading(const std::filesystem::path& path) {
    return OpenSslPtr<BIO>(BIO_new_file(path.c_str(), "r"));
}

OpenSslPtr<X509> ReadCertificate(const std::filesystem::path& path) {
    const OpenSslPtr<BIO> in = OpenForReading(path);
    return OpenSslPtr<X509>(in ? PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr) : nullptr);
}

OpenSslPtr<EVP_PKEY> ReadKey(const std::filesystem::path& path) {
    const OpenSslPtr<BIO> in = OpenForReading(path);
    return OpenSslPtr<EVP_PKEY>(in ? PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr) : nullptr);
}

std::string MemoryText(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

void Publish(const std::filesystem::path& path, const std::string& text, std::filesystem::perms mode) {
    const std::error_code error = AtomicFile::Write(path, text, AtomicFile::Existing::Replace, mode);
    if (error) {
        throw std::runtime_error("service certificate: cannot write " + path.string() + ": " +
                                 error.message());
    }
}

void WriteCertificate(const std::filesystem::path& path, X509* certificate) {
    const OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    Require(out != nullptr && PEM_write_bio_X509(out.get(), certificate) == 1, "encode certificate");
    using std::filesystem::perms;
    Publish(path, MemoryText(out.get()),
            perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
}

// Private keys are for the service's user only.
void WriteKey(const std::filesystem::path& path, EVP_PKEY* key) {
    const OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    Require(out != nullptr &&
                PEM_write_bio_PrivateKey(out.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "encode key");
    using std::filesystem::perms;
    Publish(path, MemoryText(out.get()), perms::owner_read | perms::owner_write);
}

// Valid now and for at least `margin` seconds more.
bool ValidFor(X509* certificate, long margin) {
    std::time_t later = std::time(nullptr) + margin;
    return X509_cmp_current_time(X509_get0_notBefore(certificate)) < 0 &&
           X509_cmp_time(X509_get0_notAfter(certificate), &later) > 0;
}

bool UsableAuthority(X509* ca, EVP_PKEY* caKey) {
    return ca != nullptr && caKey != nullptr && X509_check_private_key(ca, caKey) == 1 &&
           X509_check_ca(ca) != 0 && ValidFor(ca, kAuthorityMargin);
}

bool UsableServer(X509* server, EVP_PKEY* serverKey, EVP_PKEY* caKey) {
    return server != nullptr && serverKey != nullptr && X509_check_private_key(server, serverKey) == 1 &&
           X509_verify(server, caKey) == 1 && X509_check_host(server, "localhost", 0, 0, nullptr) == 1 &&
           X509_check_ip_asc(server, "127.0.0.1", 0) == 1 && ValidFor(server, kServerMargin);
}

// Two services started at once on the same folder must not each make half of the files.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
        : m_fd(open((folder / "certificate.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        Require(m_fd >= 0 && flock(m_fd, LOCK_EX) == 0, "lock the data folder");
    }
    ~FolderLock() { close(m_fd); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

}  // namespace

ServiceCertificate::ServiceCertificate(const std::filesystem::path& folder)
    : m_caFile(folder / "ca.pem"),
      m_caKeyFile(folder / "ca-key.pem"),
      m_certificateFile(folder / "server.pem"),
      m_keyFile(folder / "server-key.pem") {
    const FolderLock lock(folder);

    OpenSslPtr<X509> ca = ReadCertificate(m_caFile);
    OpenSslPtr<EVP_PKEY> caKey = ReadKey(m_caKeyFile);
    if (!UsableAuthority(ca.get(), caKey.get())) {
        caKey = MakeKey();
        // Limited to this machine's loopback names: whoever trusts ca.pem trusts nothing else by it,
        // even should the key in the data folder leak.
        ca = MakeCertificate(caKey.get(), "Lumikarta reference service CA", kAuthorityLifetime,
                             {{NID_basic_constraints, "critical,CA:TRUE,pathlen:0"},
                              {NID_key_usage, "critical,keyCertSign,cRLSign"},
                              {NID_name_constraints,
                               "critical,permitted;DNS:localhost,permitted;IP:127.0.0.1/255.255.255.255"},
                              {NID_subject_key_identifier, "hash"}});
        // The key first: a ca.pem without its key would be replaced again on the next start.
        WriteKey(m_caKeyFile, caKey.get());
        WriteCertificate(m_caFile, ca.get());
        m_madeNewAuthority = true;
    }

    const OpenSslPtr<X509> server = ReadCertificate(m_certificateFile);
    const OpenSslPtr<EVP_PKEY> serverKey = ReadKey(m_keyFile);
    if (m_madeNewAuthority || !UsableServer(server.get(), serverKey.get(), caKey.get())) {
        const OpenSslPtr<EVP_PKEY> newKey = MakeKey();
        const OpenSslPtr<X509> made =
            MakeCertificate(newKey.get(), "localhost", kServerLifetime,
                            {{NID_basic_constraints, "critical,CA:FALSE"},
                             {NID_key_usage, "critical,digitalSignature,keyEncipherment"},
                             {NID_ext_key_usage, "serverAuth"},
                             {NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1"},
                             {NID_subject_key_identifier, "hash"},
                             {NID_authority_key_identifier, "keyid:always"}},
                            ca.get(), caKey.get());
        WriteKey(m_keyFile, newKey.get());
        WriteCertificate(m_certificateFile, made.get());
    }
}
