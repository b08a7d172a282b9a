#include <gtest/gtest.h>
#include <httplib.h>

#include "lumikarta-service/reference_service.h"
#include "support/temp_dir.h"

namespace {

// A plain HTTP service whose downloads are `folder`.
struct DownloadService {
    explicit DownloadService(const std::filesystem::path& folder)
        : service({.port = 0,
                   .https = false,
                   .dataFolder = data.Path(),
                   .siteFolder = {},
                   .downloadsFolder = folder,
                   .readTimeout = std::chrono::milliseconds(5000)}) {
        service.Start();
    }

    httplib::Client Client() const {
        httplib::Client client(ReferenceService::kHost, service.Port());
        client.set_read_timeout(std::chrono::seconds(20));
        return client;
    }

    TempDir data;
    ReferenceService service;
};

// Not a multiple of the pieces it is sent in, and different at every offset.
std::string InstallerBytes() {
    std::string bytes(200'003, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7919) >> 3);
    }
    return bytes;
}

TEST(DownloadFilesTest, ServesThePlainFilesOfTheFolderOnly) {
    const TempDir outside;
    outside.WriteFile("secret.txt", "secret");
    std::filesystem::create_directories(outside.Path() / "downloads" / "sub");
    const std::string installer = InstallerBytes();
    outside.WriteFile("downloads/setup.exe", installer);
    outside.WriteFile("downloads/updates.xml",
                      "<File>{{BASE_URL}}/downloads/setup.exe</File><L>{{BASE_URL}}</L>");
    outside.WriteFile("downloads/.htpasswd", "secret");
    DownloadService running(outside.Path() / "downloads");
    const std::string base = running.service.BaseUrl();
    const std::string definition = "<File>" + base + "/downloads/setup.exe</File><L>" + base + "</L>";

    struct Case {
        const char* method;
        std::string path;
        int status;
        std::string body;
    };
    const Case cases[] = {
        {"GET", "/downloads/setup.exe", 200, installer},
        {"GET", "/downloads/updates.xml", 200, definition},
        {"GET", "/downloads/missing.exe", 404, "Not found\n"},
        {"GET", "/downloads/../secret.txt", 404, "Not found\n"},
        {"GET", "/downloads/%2e%2e%2fsecret.txt", 404, "Not found\n"},
        {"GET", "/downloads/..%5csecret.txt", 404, "Not found\n"},
        {"GET", "/downloads/.htpasswd", 404, "Not found\n"},
        {"GET", "/downloads/sub", 404, "Not found\n"},
        {"GET", "/downloads/", 404, "Not found\n"},
        {"GET", "/downloads/updates.xml%00.exe", 404, "Not found\n"},
        {"POST", "/downloads/setup.exe", 405, "Method not allowed\n"},
    };
    httplib::Client client = running.Client();
    for (const Case& c : cases) {
        const std::string what = std::string(c.method) + " " + c.path;
        const httplib::Result result =
            std::string_view(c.method) == "GET" ? client.Get(c.path) : client.Post(c.path, "x", "text/plain");
        ASSERT_TRUE(result) << what;
        EXPECT_EQ(result->status, c.status) << what;
        // Not EXPECT_EQ: a mismatch would print 200 KB of bytes.
        EXPECT_TRUE(result->body == c.body) << what << ": " << result->body.size() << " bytes";
    }
}

}  // namespace
