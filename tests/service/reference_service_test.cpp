#include <gtest/gtest.h>

#include "lumikarta-service/faq_page.h"
#include "service/service_fixture.h"

namespace {

TEST(ReferenceServiceTest, ServesTheFaqPageAndThePlainFilesOfTheDownloadsFolderOnly) {
    const TempDir outside;
    outside.WriteFile("secret.txt", "secret");
    std::filesystem::create_directories(outside.Path() / "site" / "service");
    outside.WriteFile("site/faq.html", "faq");
    outside.WriteFile("site/secret.txt", "secret");
    std::filesystem::create_directories(outside.Path() / "downloads" / "sub");
    outside.WriteFile("downloads/setup.exe", std::string("MZ\0\x90\xFF", 5));
    outside.WriteFile("downloads/updates.xml", "<File>{{BASE_URL}}/downloads/setup.exe</File>");
    outside.WriteFile("downloads/.htpasswd", "secret");
    RunningService running(false, outside.Path() / "site", outside.Path() / "downloads");
    const std::string notFound = "Not found\n";

    struct Case {
        const char* method;
        std::string path;
        int status;
        std::string body;  // empty: only that no secret is in it
    };
    const Case cases[] = {
        {"GET", FaqPage::kPath, 200, "faq"},
        {"POST", FaqPage::kPath, 405, ""},
        {"GET", "/secret.txt", 404, ""},
        {"GET", "/service/faq.html/../../secret.txt", 404, ""},
        {"GET", "/service/FAQ.html", 404, ""},
        {"GET", "/", 404, ""},
        {"GET", "/downloads/setup.exe", 200, std::string("MZ\0\x90\xFF", 5)},
        {"GET", "/downloads/updates.xml", 200,
         "<File>" + running.service.BaseUrl() + "/downloads/setup.exe</File>"},
        {"GET", "/downloads/../secret.txt", 404, notFound},
        {"GET", "/downloads/..%5csecret.txt", 404, notFound},
        {"GET", "/downloads/.htpasswd", 404, notFound},
        {"GET", "/downloads/sub", 404, notFound},
        {"GET", "/downloads/updates.xml%00.exe", 404, notFound},
        {"POST", "/downloads/setup.exe", 405, "Method not allowed\n"},
    };
    httplib::Client client = running.Client();
    for (const Case& c : cases) {
        const std::string what = std::string(c.method) + " " + c.path;
        const httplib::Result result =
            std::string_view(c.method) == "GET" ? client.Get(c.path) : client.Post(c.path, "x", "text/plain");
        ASSERT_TRUE(result) << what;
        EXPECT_EQ(result->status, c.status) << what;
        EXPECT_EQ(result->body.find("secret"), std::string::npos) << what;
        if (!c.body.empty()) {
            EXPECT_EQ(result->body, c.body) << what;
        }
    }
}

// The demo's and the Windows tests' trust in the service's authority outlives a restart.
TEST(ReferenceServiceTest, CertificatesAreMadeOnceWithKeysForTheOwnerOnly) {
    RunningService running(true);
    const std::filesystem::path folder = running.data.Path() / "state";
    const std::string files = ReadFileBytes(folder / "ca.pem") + ReadFileBytes(folder / "server.pem");
    ASSERT_FALSE(files.empty());
    running.service.Stop();
    running.service.Start();
    EXPECT_EQ(ReadFileBytes(folder / "ca.pem") + ReadFileBytes(folder / "server.pem"), files);
    for (const char* key : {"ca-key.pem", "server-key.pem"}) {
        EXPECT_EQ(std::filesystem::status(folder / key).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << key;
    }
}

}  // namespace
