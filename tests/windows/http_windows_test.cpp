#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/xml_document.h"
#include "platform/http_transport.h"
#include "support/scoped_env.h"
#include "support/scoped_http_timeouts.h"
#include "support/support_call.h"
#include "support/temp_dir.h"
#include "update/download_worker.h"

// WinINet against the reference service, which the test run starts on 127.0.0.1 and names in
// LUMIKARTA_TEST_SERVICE_URL.

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The sample installer the service serves from its downloads folder.
constexpr char kInstaller[] = "/downloads/TopoKarte-Update-305.sh";

class RecordingListener final : public DownloadListener {
public:
    void NotifyProgress() override {}
    void NotifyDone() override { ++done; }
    void NotifyFailed(const std::string& error) override {
        std::lock_guard lock(mutex);
        failures.push_back(error);
    }

    std::atomic<int> done{0};
    std::mutex mutex;
    std::vector<std::string> failures;
};

struct Download {
    Download(const std::string& url, const std::filesystem::path& target) {
        job.window = &listener;
        job.counters = &counters;
        job.m_strUrl = url;
        const std::u8string utf8 = target.u8string();
        job.m_strTargetPath.assign(utf8.begin(), utf8.end());
    }
    DownloadCounters counters;
    RecordingListener listener;
    DownloadJob job;
};

platform::HttpRequest Get(const std::string& url) {
    platform::HttpRequest request;
    request.url = url;
    return request;
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Keeps the body, and says stop once `stopAfterBody` says so.
class Collector final : public platform::HttpReceiver {
public:
    void OnResponseStart(long status, int64_t length) override {
        startedBeforeBody = body.empty();
        this->status = status;
        contentLength = length;
    }
    bool OnBody(const char* data, std::size_t size) override {
        body.append(data, size);
        return !stop;
    }
    bool ShouldContinue() override { return !stop; }

    std::atomic<bool> stop{false};
    bool startedBeforeBody = false;
    long status = 0;
    int64_t contentLength = -2;
    std::string body;
};

class WindowsHttp : public ::testing::Test {
protected:
    void SetUp() override {
        const char* url = std::getenv("LUMIKARTA_TEST_SERVICE_URL");
        if (url == nullptr || *url == '\0') {
            GTEST_SKIP() << "LUMIKARTA_TEST_SERVICE_URL is not set";
        }
        base = url;
        while (!base.empty() && base.back() == '/') {
            base.pop_back();
        }
    }

    std::string base;
    TempDir folder;
};

TEST_F(WindowsHttp, DownloadsWholeFilesWithAndWithoutContentLength) {
    Collector reference;
    ASSERT_TRUE(platform::CreateHttpTransport()->Perform(Get(base + kInstaller), reference).IsSuccess());
    const std::string installer = reference.body;
    ASSERT_FALSE(installer.empty());
    EXPECT_TRUE(reference.startedBeforeBody);

    struct Case {
        const char* query;
        int64_t announced;
    };
    const std::vector<Case> cases = {
        {"", static_cast<int64_t>(installer.size())},
        {"?chunked=1", -1},
    };
    for (const Case& c : cases) {
        const std::filesystem::path target = folder.Path() / "installer.exe";
        Download download(base + kInstaller + c.query, target);
        EXPECT_EQ(DownloadWorker(&download.job), 0);
        EXPECT_EQ(download.listener.done, 1) << c.query;
        EXPECT_TRUE(download.listener.failures.empty()) << c.query;
        EXPECT_EQ(download.counters.totalBytes, c.announced) << c.query;
        EXPECT_EQ(download.counters.loadedBytes, static_cast<int64_t>(installer.size())) << c.query;
        EXPECT_EQ(FileBytes(target), installer) << c.query;
    }
}

TEST_F(WindowsHttp, AnErrorStatusIsAFailedDownloadWithoutAFile) {
    Collector direct;
    const platform::HttpResult result =
        platform::CreateHttpTransport()->Perform(Get(base + "/downloads/missing.exe"), direct);
    EXPECT_EQ(result.outcome, platform::HttpResult::Outcome::Completed);
    EXPECT_EQ(result.status, 404);
    EXPECT_EQ(direct.status, 404);

    const std::filesystem::path target = folder.Path() / "missing.exe";
    Download download(base + "/downloads/missing.exe", target);
    DownloadWorker(&download.job);
    EXPECT_EQ(download.listener.done, 0);
    ASSERT_EQ(download.listener.failures.size(), 1u);
    EXPECT_NE(download.listener.failures[0].find("404"), std::string::npos) << download.listener.failures[0];
    EXPECT_FALSE(std::filesystem::exists(target));
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
    EXPECT_TRUE(download.listener.failures.empty());
    EXPECT_EQ(download.listener.done, 0);
    EXPECT_FALSE(std::filesystem::exists(target));

    // The idle time: without a cancel the transfer fails once nothing has come for that long.
    const ScopedHttpTimeouts shortIdle({.connectSeconds = 5, .idleSeconds = 1});
    Collector idle;
    const auto started = Clock::now();
    const platform::HttpResult result =
        platform::CreateHttpTransport()->Perform(Get(base + kInstaller + "?stall=1"), idle);
    EXPECT_EQ(result.outcome, platform::HttpResult::Outcome::Failed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_LT(Clock::now() - started, 5s);
}

TEST_F(WindowsHttp, SupportCallIsAnsweredAsSent) {
    const ScopedEnv supportUrl("LUMIKARTA_SUPPORT_URL", base);
    SupportRequest request;
    request.product = "TopoKarte Deutschland";
    request.productVersion = "3.0.0";
    request.subject = "Drucken";
    request.description = "Der Ausdruck ist leer. Grüße aus Köln, 5 € <&>";
    request.firstName = "Jürgen";
    request.surname = "Weiß";
    request.email = "j.weiss@example.org";
    const SupportCallOutcome outcome = PostSupportCall(request, "\r\n\r\nBericht");
    EXPECT_EQ(outcome.kind, SupportCallOutcome::Kind::Succeeded) << outcome.resultString;
    EXPECT_EQ(outcome.resultCode, 1);

    request.surname.clear();
    EXPECT_EQ(PostSupportCall(request, "").kind, SupportCallOutcome::Kind::Refused);
}

TEST_F(WindowsHttp, UpdateDefinitionLoadsAsADocumentAndAMissingOneDoesNot) {
    CXMLDocument definition;
    ASSERT_TRUE(definition.Load(base + "/downloads/updates.xml")) << definition.ErrorReason();
    const std::vector<CXMLNode> products = definition.SelectNodes(definition.Root(), "//Product");
    EXPECT_EQ(products.size(), 2u);
    const std::string file =
        definition.GetNodeTextCopy(definition.SelectFirstNode(definition.Root(), "//File")).value_or("");
    EXPECT_TRUE(file.starts_with(base + "/downloads/")) << file;

    CXMLDocument missing;
    EXPECT_FALSE(missing.Load(base + "/downloads/missing.xml"));
    EXPECT_EQ(missing.LoadResult(), CXMLDocument::kLoadReadFailed);
    EXPECT_EQ(missing.ErrorReason(), "HTTP status 404");
}

// Refused before anything is sent, so no service is needed.
TEST(WindowsHttpRequests, UnsafeOrUnsupportedRequestsAreRefused) {
    const std::vector<std::function<void(platform::HttpRequest&)>> changes = {
        [](platform::HttpRequest& r) { r.headers = {"X-Test: a\r\nX-Smuggled: b"}; },
        [](platform::HttpRequest& r) { r.headers = {"X-Test: a\nb"}; },
        [](platform::HttpRequest& r) { r.url = "ftp://127.0.0.1/file"; },
        [](platform::HttpRequest& r) { r.url = "file:///C:/windows/win.ini"; },
        [](platform::HttpRequest& r) { r.url = "no url"; },
        [](platform::HttpRequest& r) { r.method = "DELETE"; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        platform::HttpRequest request;
        request.url = "http://127.0.0.1:9/x";
        changes[i](request);
        Collector receiver;
        const platform::HttpResult result = platform::CreateHttpTransport()->Perform(request, receiver);
        EXPECT_EQ(result.outcome, platform::HttpResult::Outcome::Failed) << i;
        EXPECT_FALSE(result.error.empty()) << i;
        EXPECT_TRUE(receiver.body.empty()) << i;
    }
}

}  // namespace
