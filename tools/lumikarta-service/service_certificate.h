#pragma once

#include <filesystem>

// The service's own certificate authority and the server certificate it signed for "localhost" and
// 127.0.0.1, as PEM files in the data folder. They are made on the first start and kept for later
// ones, so a client that was once told to trust ca.pem goes on trusting the service.
class ServiceCertificate {
public:
    // Reads the files in `folder`, or makes new ones where they are missing, do not fit together or
    // run out soon. Throws std::runtime_error when they can be neither read nor made.
    explicit ServiceCertificate(const std::filesystem::path& folder);

    // What clients trust: the authority's certificate.
    const std::filesystem::path& CaFile() const { return m_caFile; }
    // What the server presents, and its private key.
    const std::filesystem::path& CertificateFile() const { return m_certificateFile; }
    const std::filesystem::path& KeyFile() const { return m_keyFile; }
    // Whether this start made a new authority; clients that trusted the old ca.pem must take the new one.
    bool MadeNewAuthority() const { return m_madeNewAuthority; }

private:
    std::filesystem::path m_caFile;
    std::filesystem::path m_caKeyFile;
    std::filesystem::path m_certificateFile;
    std::filesystem::path m_keyFile;
    bool m_madeNewAuthority = false;
};
