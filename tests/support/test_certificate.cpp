#include "support/test_certificate.h"

#include "lumikarta-service/keyed_certificate.h"

TestCertificate::TestCertificate()
    : m_caFile(m_dir.FilePath("ca.pem")),
      m_certificateFile(m_dir.FilePath("server.pem")),
      m_keyFile(m_dir.FilePath("server-key.pem")) {
    const KeyedCertificate authority = KeyedCertificate::NewAuthority();
    const KeyedCertificate server = authority.IssueServerCertificate();
    authority.WriteCertificate(m_caFile);
    server.WriteCertificate(m_certificateFile);
    server.WriteKey(m_keyFile);
}
