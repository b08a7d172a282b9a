#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/xml_document.h"
#include "platform/http_transport.h"
#include "support/raw_http_server.h"
#include "support/sample_support_request.h"
#include "support/scoped_env.h"
#include "support/scoped_http_timeouts.h"
#include "support/support_call.h"
#include "support/temp_dir.h"
#include "update/download_worker.h"

// WinINet against the reference services, which the test run starts on 127.0.0.1 and names in
// LUMIKARTA_TEST_SERVICE_URL (plain HTTP) and LUMIKARTA_TEST_TRUSTED_HTTPS_URL and
// LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL.

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The sample installer the service serves from its downloads folder.
constexpr char kInstaller[] = "/downloads/TopoKarte-Update-305.sh";

// A download job that records the worker's reports, one line each; read only after the worker ends.
struct Download final : DownloadListener {
    Download(const std::string& url, const std::filesystem::path& target) {
        job.window = this;
        job.counters = &counters;
        job.m_strUrl = url;
        const std::u8string utf8 = target.u8string();
        job.m_strTargetPath.assign(utf8.begin(), utf8.end());
    }
    void NotifyProgress() override {}
    void NotifyDone() override { reports += "done\n"; }
    void NotifyFailed(const std::string& error) override { reports += "failed: " + error + "\n"; }

    DownloadCounters counters;
    DownloadJob job;
    std::string reports;
};

std::optional<std::string> FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return file ? std::optional(std::string(std::istreambuf_iterator<char>(file), {})) : std::nullopt;
}

class Collector final : public platform::HttpReceiver {
public:
    bool OnBody(const char* data, std::size_t size) override {
        body.append(data, size);
        return true;
    }
    std::string body;
};

platform::HttpResult Perform(const std::string& url, Collector& receiver, const char* header = nullptr) {
    platform::HttpRequest request;
    request.url = url;
    if (header != nullptr) {
        request.headers = {header};
    }
    return platform::CreateHttpTransport()->Perform(request, receiver);
}

class WindowsHttp : public ::testing::Test {
protected:
    void SetUp() override {
        const char* url = std::getenv("LUMIKARTA_TEST_SERVICE_URL");
        if (url == nullptr || *url == '\0') {
            GTEST_SKIP() << "LUMIKARTA_TEST_SERVICE_URL is not set";
        }
        base = url;
    }

    std::string base;
    TempDir folder;
};

// The SHA-256 text the service's update definition gives for the sample installer.
std::string DefinitionSha256(const std::string& base) {
    CXMLDocument definition;
    if (!definition.Load(base + "/downloads/updates.xml")) {
        return "";
    }
    std::string file;
    std::string sha256;
    for (const CXMLNode& update : definition.SelectNodes(definition.Root(), "//Update")) {
        if (definition.GetNodeText(definition.SelectFirstNode(update, "File"), file) &&
            file.ends_with(kInstaller)) {
            definition.GetNodeText(definition.SelectFirstNode(update, "SHA256"), sha256);
        }
    }
    return sha256;
}

// Whatever becomes of a download, the file it would replace is either the old one or the whole
// new one, and nothing else is left beside it.
TEST_F(WindowsHttp, DownloadReplacesTheTargetOnlyWhenWholeAndMatching) {
    Collector reference;
    ASSERT_TRUE(Perform(base + kInstaller, reference).IsSuccess());
    const std::string& installer = reference.body;
    ASSERT_FALSE(installer.empty());
    const auto size = static_cast<int64_t>(installer.size());
    const std::string sha256 = DefinitionSha256(base);
    ASSERT_EQ(sha256.size(), 64u);
    std::string otherSha256 = sha256;
    otherSha256[10] = otherSha256[10] == '0' ? '1' : '0';

    const struct {
        std::string path;
        int64_t announced;
        std::optional<std::string> sha256;
        // None: the download succeeds; otherwise a part of the reason shown.
        std::optional<std::string> failure;
    } cases[] = {
        {kInstaller, size, std::nullopt, std::nullopt},
        {std::string(kInstaller) + "?chunked=1", -1, sha256, std::nullopt},
        {"/downloads/missing.exe", -1, std::nullopt, "404"},
        {std::string(kInstaller) + "?cut=1", size, std::nullopt, ""},
        // Wine's WinINet takes a chunked body cut before its last chunk for a whole one (as a body
        // without length or chunks), so only the definition's SHA-256 can tell.
        {std::string(kInstaller) + "?cut=1&chunked=1", -1, sha256, ""},
        {kInstaller, size, otherSha256, "SHA-256"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        TempDir caseFolder;
        const std::string old = "the installer that was there before";
        caseFolder.WriteFile("installer.exe", old);
        Download download(base + c.path, caseFolder.Path() / "installer.exe");
        download.job.m_strSha256 = c.sha256;
        DownloadWorker(&download.job);
        if (!c.failure) {
            EXPECT_EQ(download.reports, "done\n");
            EXPECT_EQ(download.counters.totalBytes, c.announced);
            EXPECT_EQ(download.counters.loadedBytes, size);
        } else {
            EXPECT_TRUE(download.reports.starts_with("failed: ") &&
                        download.reports.find(*c.failure) != std::string::npos)
                << download.reports;
        }
        EXPECT_EQ(FileBytes(caseFolder.Path() / "installer.exe"), c.failure ? old : installer);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(caseFolder.Path()), {}), 1);
    }
}

TEST_F(WindowsHttp, AStalledTransferEndsSoonAfterACancelOrItsIdleTime) {
    // The cancel: the worker must give up a read that waits for bytes that never come.
    const std::filesystem::path target = folder.Path() / "stalled.exe";
    Download download(base + kInstaller + "?stall=1", target);
    std::thread worker([&download] { DownloadWorker(&download.job); });
    const auto deadline = Clock::now() + 10s;
    while (download.counters.loadedBytes == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GT(download.counters.loadedBytes, 0) << "the service sends the start before it stalls";
    std::this_thread::sleep_for(300ms);
    const auto cancelled = Clock::now();
    download.job.cancel = 1;
    worker.join();
    EXPECT_LT(Clock::now() - cancelled, 2s);
    EXPECT_EQ(download.reports, "");
    EXPECT_FALSE(std::filesystem::exists(target));

    // The idle time: without a cancel the transfer fails once nothing has come for that long.
    const ScopedHttpTimeouts shortIdle({.connectSeconds = 5, .idleSeconds = 1});
    Collector idle;
    const auto started = Clock::now();
    const platform::HttpResult result = Perform(base + kInstaller + "?stall=1", idle);
    EXPECT_EQ(result.outcome, platform::HttpResult::Outcome::Failed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_LT(Clock::now() - started, 5s);
}

SupportRequest SampleRequest() {
    return SampleSupportRequest("Der Ausdruck ist leer. Grüße aus Köln, 5 € <&>");
}

// The production call goes over HTTPS, and the system's certificate store decides whom it reaches:
// the test run has made the prefix trust the authority of one service and not of the other.
TEST(WindowsHttps, SupportCallReachesOnlyAServiceTheSystemTrusts) {
    const char* trusted = std::getenv("LUMIKARTA_TEST_TRUSTED_HTTPS_URL");
    const char* untrusted = std::getenv("LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL");
    if (trusted == nullptr || untrusted == nullptr) {
        GTEST_SKIP() << "LUMIKARTA_TEST_TRUSTED_HTTPS_URL or LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL is not set";
    }
    const std::pair<const char*, SupportCallOutcome::Kind> cases[] = {
        {trusted, SupportCallOutcome::Kind::Succeeded},
        {untrusted, SupportCallOutcome::Kind::NoConnection},
    };
    for (const auto& [url, kind] : cases) {
        const ScopedEnv supportUrl("LUMIKARTA_SUPPORT_URL", url);
        const SupportCallOutcome outcome = PostSupportCall(SampleRequest(), "\r\n\r\nBericht");
        EXPECT_EQ(outcome.kind, kind) << url << ": " << outcome.resultString;
    }
}

// The bytes of the support call as WinINet sends them, at a plain socket. They agree with the Linux
// build's but for Wine's WinINet, which writes every header it is given as name, colon, blank and
// value; the report's line breaks leave the platform's XML writer as line feeds alone, as every XML
// reader reads them.
TEST(WindowsHttpWire, SupportCallArrivesAsItsBytes) {
    RawHttpServer server(RawHttpReply::Complete(
        "<?xml version=\"1.0\"?><Envelope><return><resultCode>1</resultCode></return></Envelope>"));
    const ScopedEnv supportUrl("LUMIKARTA_SUPPORT_URL", server.Url(""));
    EXPECT_EQ(PostSupportCall(SampleRequest(), "\r\n\r\nBericht").kind, SupportCallOutcome::Kind::Succeeded);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(
        requests[0],
        SupportCallRequestBytes(
            server.Port(),
            SampleSupportCallEnvelope("Der Ausdruck ist leer. Grüße aus Köln, 5 € &lt;&amp;&gt;\n\nBericht"),
            " "));
}

// Refused before anything is sent, so no service is needed.
TEST(WindowsHttpRequests, UnsafeOrUnsupportedRequestsAreRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:9/x", "X-Test: a\r\nX-Smuggled: b"},
        // WinINet itself would fetch these.
        {"ftp://127.0.0.1/file", nullptr},
        {"file:///C:/windows/win.ini", nullptr},
        {"no url", nullptr},
    };
    for (const auto& [url, header] : cases) {
        Collector receiver;
        const platform::HttpResult result = Perform(url, receiver, header);
        EXPECT_EQ(result.outcome, platform::HttpResult::Outcome::Failed) << url;
        EXPECT_FALSE(result.error.empty()) << url;
        EXPECT_TRUE(receiver.body.empty()) << url;
    }
}

}  // namespace
