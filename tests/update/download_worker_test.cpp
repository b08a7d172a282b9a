#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "support/local_http_server.h"
#include "support/temp_dir.h"
#include "update/download_worker.h"
#include "update/format_size.h"

namespace {

// Notices as the worker gives them, from its own thread.
class RecordingListener final : public DownloadListener {
public:
    void NotifyProgress() override {}
    void NotifyDone() override { ++m_done; }
    void NotifyFailed(const std::string& error) override {
        std::lock_guard lock(m_mutex);
        m_failures.push_back(error);
    }

    std::vector<std::string> Failures() {
        std::lock_guard lock(m_mutex);
        return m_failures;
    }
    int Done() const { return m_done; }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_failures;
    std::atomic<int> m_done{0};
};

struct Download {
    Download(const std::string& url, const std::filesystem::path& target) {
        job.window = &listener;
        job.counters = &counters;
        job.m_strUrl = url;
        job.m_strTargetPath = target.string();
    }
    DownloadCounters counters;
    RecordingListener listener;
    DownloadJob job;
};

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// What the window tests against the reference service cannot reach: redirects and a missing URL.
TEST(DownloadWorker, FollowsRedirectsAndReportsAMissingUrl) {
    const std::string body(1000, 'r');
    LocalHttpServer server;
    server.Routes().Get("/file", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/octet-stream");
    });
    server.Routes().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/file");
    });
    server.Start();
    TempDir folder;

    Download moved(server.Url("/moved"), folder.Path() / "moved.exe");
    EXPECT_EQ(DownloadWorker(&moved.job), 0);
    EXPECT_EQ(moved.listener.Done(), 1);
    EXPECT_TRUE(moved.listener.Failures().empty());
    EXPECT_EQ(FileText(folder.Path() / "moved.exe"), body);
    EXPECT_EQ(moved.counters.totalBytes, 1000);
    EXPECT_EQ(moved.counters.loadedBytes, 1000);

    Download nowhere("", folder.Path() / "nowhere.exe");
    DownloadWorker(&nowhere.job);
    EXPECT_EQ(nowhere.listener.Done(), 0);
    ASSERT_EQ(nowhere.listener.Failures().size(), 1u);
    EXPECT_FALSE(nowhere.listener.Failures()[0].empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "nowhere.exe"));
}

TEST(FormatSize, UsesBytesKilobytesOrMegabytesWithAPoint) {
    const std::pair<int64_t, const char*> cases[] = {
        {-1, "-1 Bytes"},     {0, "0 Bytes"},       {1024, "1024 Bytes"},
        {1025, "1.00 KB"},    {2048, "2.00 KB"},    {1048576, "1024.00 KB"},
        {1048577, "1.00 MB"}, {5242880, "5.00 MB"}, {3LL << 30, "3072.00 MB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(FormatSize(bytes), text) << bytes;
    }
}

}  // namespace
