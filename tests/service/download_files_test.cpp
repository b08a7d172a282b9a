#include <gtest/gtest.h>
#include <httplib.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include <openssl/evp.h>

#include <pugixml.hpp>

#include "lumikarta-service/download_files.h"
#include "lumikarta-service/reference_service.h"
#include "support/temp_dir.h"

namespace {

// A plain HTTP service whose downloads are `folder`.
struct DownloadService {
    explicit DownloadService(const std::filesystem::path& folder, std::size_t bytesPerSecond = 0)
        : service({.port = 0,
                   .https = false,
                   .dataFolder = data.Path(),
                   .siteFolder = {},
                   .downloadsFolder = folder,
                   .downloadBytesPerSecond = bytesPerSecond,
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

// Pieces of a tenth of the rate: the file arrives whole, in order, and the definition unpaced.
TEST(DownloadFilesTest, PacedInstallerArrivesWhole) {
    const TempDir folder;
    const std::string installer = InstallerBytes().substr(0, 45);
    folder.WriteFile("setup.exe", installer);
    DownloadService running(folder.Path(), 100);
    httplib::Client client = running.Client();
    const auto response = client.Get("/downloads/setup.exe");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->body, installer);
}

TEST(DownloadFilesTest, StalledDownloadDoesNotKeepTheServiceFromStopping) {
    const TempDir folder;
    folder.WriteFile("setup.exe", InstallerBytes());
    DownloadService running(folder.Path());

    std::mutex mutex;
    std::condition_variable arrived;
    std::size_t received = 0;
    bool ended = false;
    std::string contentLength;
    std::thread downloader([&] {
        httplib::Client client = running.Client();
        client.Get(
            "/downloads/setup.exe?stall=1",
            [&](const httplib::Response& response) {
                contentLength = response.get_header_value("Content-Length");
                return true;
            },
            [&](const char*, std::size_t length) {
                std::lock_guard lock(mutex);
                received += length;
                arrived.notify_all();
                return true;
            });
        // A transfer that fails at once must not leave the test waiting for bytes.
        std::lock_guard lock(mutex);
        ended = true;
        arrived.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return received >= DownloadFiles::kStallAfterBytes || ended; });
        EXPECT_FALSE(ended) << "the stalled transfer ended by itself";
    }
    running.service.Stop();
    downloader.join();
    EXPECT_EQ(contentLength, std::to_string(InstallerBytes().size()));
    EXPECT_EQ(received, DownloadFiles::kStallAfterBytes);
}

// What the download window shows for a byte count; a definition's Size says the same.
std::string SizeText(std::uintmax_t bytes) {
    char text[32];
    if (bytes > 1048576) {
        std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / 1048576);
    } else if (bytes > 1024) {
        std::snprintf(text, sizeof text, "%.2f KB", static_cast<double>(bytes) / 1024);
    } else {
        std::snprintf(text, sizeof text, "%ju Bytes", bytes);
    }
    return text;
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
        EXPECT_EQ(update.node().child_value("Size"), SizeText(std::filesystem::file_size(samples / file)))
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
