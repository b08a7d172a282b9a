#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdio>

#include <openssl/evp.h>

#include <pugixml.hpp>

#include "lumikarta-service/download_files.h"
#include "lumikarta-service/reference_service.h"
#include "support/temp_dir.h"
#include "update/format_size.h"

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
        bool chunked = false;
    };
    const Case cases[] = {
        {"GET", "/downloads/setup.exe", 200, installer},
        {"HEAD", "/downloads/setup.exe", 200, ""},
        {"GET", "/downloads/setup.exe?chunked=1", 200, installer, true},
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
        const std::string_view method = c.method;
        const httplib::Result result = method == "GET"    ? client.Get(c.path)
                                       : method == "HEAD" ? client.Head(c.path)
                                                          : client.Post(c.path, "x", "text/plain");
        ASSERT_TRUE(result) << what;
        EXPECT_EQ(result->status, c.status) << what;
        // Not EXPECT_EQ: a mismatch would print 200 KB of bytes.
        EXPECT_TRUE(result->body == c.body) << what << ": " << result->body.size() << " bytes";
        EXPECT_EQ(result->get_header_value("Allow"), c.status == 405 ? "GET, HEAD" : "") << what;
        if (c.status != 200) {
            continue;
        }
        const bool xml = c.path.ends_with(".xml");
        EXPECT_EQ(result->get_header_value("Content-Type"),
                  xml ? "application/xml; charset=utf-8" : "application/octet-stream")
            << what;
        EXPECT_EQ(result->get_header_value("Content-Length"),
                  c.chunked ? "" : std::to_string(xml ? definition.size() : installer.size()))
            << what;
    }
}

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

TEST(DownloadFilesTest, SampleDefinitionNamesServedInstallersOfTheStatedSizeAndSha256) {
    const std::filesystem::path samples = std::filesystem::path(LUMIKARTA_SAMPLES_DIR) / "downloads";
    DownloadService running(samples);
    httplib::Client client = running.Client();
    const httplib::Result definition = client.Get("/downloads/updates.xml");
    ASSERT_TRUE(definition && definition->status == 200);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(definition->body.c_str()));
    const pugi::xpath_node_set updates = document.select_nodes("//Product/Update");
    ASSERT_EQ(updates.size(), 3u);
    const std::string prefix = running.service.BaseUrl() + DownloadFiles::kPrefix;
    for (const pugi::xpath_node& update : updates) {
        const std::string name = update.node().child_value("Name");
        const std::string url = update.node().child_value("File");
        ASSERT_TRUE(url.starts_with(prefix)) << name << ": " << url;
        const std::string file = url.substr(prefix.size());
        // What the download window will show for the file.
        EXPECT_EQ(update.node().child_value("Size"),
                  FormatSize(static_cast<int64_t>(std::filesystem::file_size(samples / file))))
            << name;
        // The demo runs the downloaded installer.
        EXPECT_NE(std::filesystem::status(samples / file).permissions() & std::filesystem::perms::owner_exec,
                  std::filesystem::perms::none)
            << name;
        const httplib::Result installer = client.Get(url.substr(running.service.BaseUrl().size()));
        ASSERT_TRUE(installer && installer->status == 200) << name;
        EXPECT_EQ(update.node().child_value("SHA256"), Sha256Hex(installer->body)) << name;
    }
}

}  // namespace
