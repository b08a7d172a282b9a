#include <gtest/gtest.h>

#include "lumikarta-service/faq_page.h"
#include "lumikarta-service/service_certificate.h"
#include "service/service_fixture.h"
#include "support/test_certificate.h"

namespace {

TEST(ReferenceServiceTest, NothingButTheFaqPageIsServedFromTheSiteFolder) {
    const TempDir site;
    std::filesystem::create_directory(site.Path() / "service");
    site.WriteFile("faq.html", "faq");
    site.WriteFile("secret.txt", "secret");
    RunningService running(false, site.Path());
    const std::string paths[] = {
        "/service/../secret.txt", "/secret.txt", "/service/faq.html/../../secret.txt",
        "/service/FAQ.html",      "/",
    };
    httplib::Client client(ReferenceService::kHost, running.service.Port());
    for (const std::string& path : paths) {
        const httplib::Result result = client.Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, 404) << path;
        EXPECT_EQ(result->body.find("secret"), std::string::npos) << path;
    }
    const httplib::Result post = client.Post(FaqPage::kPath, "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
}

TEST(ReferenceServiceTest, CertificateIsMadeOnceAndTrustedByItsAuthorityOnly) {
    const TempDir data;
    const TestCertificate other;
    ReferenceServiceOptions options;
    options.dataFolder = data.Path();
    const auto fetched = [](const ReferenceService& service, const std::string& caFile) {
        // By address: what "localhost" resolves to differs between machines.
        httplib::SSLClient client("127.0.0.1", service.Port());
        client.set_ca_cert_path(caFile.c_str());
        client.enable_server_certificate_verification(true);
        const httplib::Result result = client.Get(FaqPage::kPath);
        return result && result->status == 200;
    };
    std::string firstFiles;
    for (int start = 0; start < 2; ++start) {
        ReferenceService service(options);
        service.Start();
        EXPECT_EQ(service.CaFile(), data.Path() / "ca.pem");
        const std::string files =
            ReadFileBytes(data.Path() / "ca.pem") + ReadFileBytes(data.Path() / "server.pem");
        ASSERT_FALSE(files.empty());
        if (start > 0) {
            EXPECT_EQ(files, firstFiles) << "the second start makes no new ones";
        }
        firstFiles = files;
        EXPECT_TRUE(fetched(service, service.CaFile().string())) << "on start " << start;
        EXPECT_FALSE(fetched(service, other.CaFile())) << "another authority's certificate must not do";
    }
    for (const char* key : {"ca-key.pem", "server-key.pem"}) {
        EXPECT_EQ(std::filesystem::status(data.Path() / key).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << key;
    }
}

}  // namespace
