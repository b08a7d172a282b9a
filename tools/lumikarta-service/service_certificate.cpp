#include "lumikarta-service/service_certificate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <optional>
#include <stdexcept>

#include "lumikarta-service/keyed_certificate.h"

namespace {

// Renew this long before the end, so a running demo does not fail in the middle.
constexpr std::chrono::seconds kAuthorityMargin = std::chrono::days(30);
constexpr std::chrono::seconds kServerMargin = std::chrono::days(7);

// Valid now and for at least `margin` more.
bool ValidFor(X509* certificate, std::chrono::seconds margin) {
    std::time_t later = std::time(nullptr) + margin.count();
    return X509_cmp_current_time(X509_get0_notBefore(certificate)) < 0 &&
           X509_cmp_time(X509_get0_notAfter(certificate), &later) > 0;
}

bool UsableAuthority(const KeyedCertificate& ca) {
    return X509_check_ca(ca.Certificate()) != 0 && ValidFor(ca.Certificate(), kAuthorityMargin);
}

bool UsableServer(const KeyedCertificate& server, const KeyedCertificate& ca) {
    X509* certificate = server.Certificate();
    return X509_verify(certificate, ca.Key()) == 1 &&
           X509_check_host(certificate, "localhost", 0, 0, nullptr) == 1 &&
           X509_check_ip_asc(certificate, "127.0.0.1", 0) == 1 && ValidFor(certificate, kServerMargin);
}

// Two services started at once on the same folder must not each make half of the files.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
        : m_fd(open((folder / "certificate.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (m_fd < 0 || flock(m_fd, LOCK_EX) != 0) {
            throw std::runtime_error("service certificate: cannot lock the data folder " + folder.string());
        }
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

    std::optional<KeyedCertificate> ca = KeyedCertificate::Read(m_caFile, m_caKeyFile);
    if (!ca || !UsableAuthority(*ca)) {
        ca = KeyedCertificate::NewAuthority();
        // The key first: a ca.pem without its key would be replaced again on the next start.
        ca->WriteKey(m_caKeyFile);
        ca->WriteCertificate(m_caFile);
        m_madeNewAuthority = true;
    }

    const std::optional<KeyedCertificate> server = KeyedCertificate::Read(m_certificateFile, m_keyFile);
    if (m_madeNewAuthority || !server || !UsableServer(*server, *ca)) {
        const KeyedCertificate made = ca->IssueServerCertificate();
        made.WriteKey(m_keyFile);
        made.WriteCertificate(m_certificateFile);
    }
}
