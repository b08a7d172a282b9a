#pragma once

#include <string>

#include "support/temp_dir.h"

// A throw-away certificate authority and a server certificate it signed for 127.0.0.1 and
// localhost, as PEM files in a temporary folder: a local HTTPS server presents the server
// certificate, and a client trusts it once it trusts CaFile().
class TestCertificate {
public:
    TestCertificate();

    const std::string& CaFile() const { return m_caFile; }
    const std::string& CertificateFile() const { return m_certificateFile; }
    const std::string& KeyFile() const { return m_keyFile; }

private:
    TempDir m_dir;
    std::string m_caFile;
    std::string m_certificateFile;
    std::string m_keyFile;
};
