#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "support/local_http_server.h"
#include "support/temp_dir.h"
#include "update/download_worker.h"
#include "update/format_size.h"

namespace {

using namespace std::chrono_literals;

// Notices as the worker gives them, from its own thread.
class RecordingListener final : public DownloadListener {
public:
    explicit RecordingListener(const DownloadCounters& counters) : m_counters(counters) {}

    void NotifyProgress() override {
        std::lock_guard lock(m_mutex);
        m_loadedAtNotice.push_back(m_counters.loadedBytes);
    }
    void NotifyDone() override { ++m_done; }
    void NotifyFailed(const std::string& error) override {
        std::lock_guard lock(m_mutex);
        m_failures.push_back(error);
    }

    std::vector<int64_t> LoadedAtNotices() {
        std::lock_guard lock(m_mutex);
        return m_loadedAtNotice;
    }
    std::vector<std::string> Failures() {
        std::lock_guard lock(m_mutex);
        return m_failures;
    }
    int Done() const { return m_done; }

private:
    const DownloadCounters& m_counters;
    std::mutex m_mutex;
    std::vector<int64_t> m_loadedAtNotice;
    std::vector<std::string> m_failures;
    std::atomic<int> m_done{0};
};

struct Download {
    Download(const std::string& url, const std::filesystem::path& target) : listener(counters) {
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

class DownloadWorkerTest : public ::testing::Test {
protected:
    DownloadWorkerTest() : m_body(1000, 'x') {
        for (std::size_t i = 0; i < m_body.size(); ++i) {
            m_body[i] = static_cast<char>('a' + i % 26);
        }
        auto& routes = m_server.Routes();
        routes.Get("/file", [&](const httplib::Request&, httplib::Response& response) {
            response.set_content(m_body, "application/octet-stream");
        });
        routes.Get("/chunked", [&](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/octet-stream",
                                                  [&](std::size_t, httplib::DataSink& sink) {
                                                      sink.write(m_body.data(), m_body.size());
                                                      sink.done();
                                                      return true;
                                                  });
        });
        routes.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/file");
        });
        routes.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("Not found", "text/plain");
        });
        // 8 MiB in pieces with pauses, so the transfer lasts long enough for progress notices.
        routes.Get("/slow", [&](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(kSlowBytes, "application/octet-stream",
                                          [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                              const std::string piece(
                                                  std::min<std::size_t>(kPiece, kSlowBytes - offset), 's');
                                              std::this_thread::sleep_for(4ms);
                                              return sink.write(piece.data(), piece.size());
                                          });
        });
        routes.Get("/stalled", [&](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(kSlowBytes, "application/octet-stream",
                                          [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                              if (offset > 0) {
                                                  m_server.Stall(30s);
                                                  return false;
                                              }
                                              const std::string piece(kPiece, 's');
                                              return sink.write(piece.data(), piece.size());
                                          });
        });
        m_server.Start();
    }

    static constexpr std::size_t kSlowBytes = 8 << 20;
    static constexpr std::size_t kPiece = 64 << 10;
    std::string m_body;
    LocalHttpServer m_server;
    TempDir m_folder;
};

TEST_F(DownloadWorkerTest, WritesTheFileOrReportsWhyNotAndLeavesNothing) {
    struct Case {
        const char* label;
        std::string url;
        std::string target;
        int64_t total;
        const char* failure;  // start of the reported error; null: success
    };
    std::string refusedUrl;
    {
        LocalHttpServer gone;
        gone.Start();
        refusedUrl = gone.Url("/file");
    }
    const Case cases[] = {
        {"with Content-Length", m_server.Url("/file"), "a.exe", 1000, nullptr},
        {"chunked, without Content-Length", m_server.Url("/chunked"), "b.exe", -1, nullptr},
        {"after a redirect", m_server.Url("/moved"), "c.exe", 1000, nullptr},
        {"an error status is a failure", m_server.Url("/missing"), "d.exe", -1, "HTTP 404"},
        {"connection refused", refusedUrl, "e.exe", -1, ""},
        {"no URL", "", "f.exe", -1, ""},
        {"target folder missing", m_server.Url("/file"), "no/such/folder/g.exe", -1, "Cannot write"},
    };
    for (const Case& test : cases) {
        const std::filesystem::path target = m_folder.Path() / test.target;
        Download download(test.url, target);
        EXPECT_EQ(DownloadWorker(&download.job), 0);
        const std::vector<std::string> failures = download.listener.Failures();
        if (test.failure == nullptr) {
            EXPECT_EQ(download.listener.Done(), 1) << test.label;
            EXPECT_TRUE(failures.empty()) << test.label << ": " << failures.front();
            EXPECT_EQ(FileText(target), m_body) << test.label;
            EXPECT_EQ(download.counters.totalBytes, test.total) << test.label;
            EXPECT_EQ(download.counters.loadedBytes, 1000) << test.label;
        } else {
            EXPECT_EQ(download.listener.Done(), 0) << test.label;
            ASSERT_EQ(failures.size(), 1u) << test.label;
            EXPECT_FALSE(failures[0].empty()) << test.label;
            EXPECT_EQ(failures[0].rfind(test.failure, 0), 0u) << test.label << ": " << failures[0];
            EXPECT_FALSE(std::filesystem::exists(target)) << test.label;
        }
    }
}

TEST_F(DownloadWorkerTest, ProgressNoticesRiseAndComeAtMostEvery100Ms) {
    const std::filesystem::path target = m_folder.Path() / "slow.exe";
    Download download(m_server.Url("/slow"), target);
    const auto started = std::chrono::steady_clock::now();
    DownloadWorker(&download.job);
    const auto elapsed = std::chrono::steady_clock::now() - started;

    const std::vector<int64_t> loaded = download.listener.LoadedAtNotices();
    ASSERT_FALSE(loaded.empty());
    EXPECT_TRUE(std::is_sorted(loaded.begin(), loaded.end()));
    EXPECT_LE(loaded.back(), static_cast<int64_t>(kSlowBytes));
    EXPECT_LE(static_cast<int64_t>(loaded.size()), elapsed / 100ms + 1);
    EXPECT_EQ(download.counters.totalBytes, static_cast<int64_t>(kSlowBytes));
    EXPECT_EQ(std::filesystem::file_size(target), kSlowBytes);
}

TEST_F(DownloadWorkerTest, CancelStopsAStalledTransferSilentlyAndRemovesTheFile) {
    const std::filesystem::path target = m_folder.Path() / "stalled.exe";
    Download download(m_server.Url("/stalled"), target);
    std::thread worker(DownloadWorker, &download.job);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (download.counters.loadedBytes == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GT(download.counters.loadedBytes, 0);
    download.job.cancel = 1;
    worker.join();
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(download.listener.Done(), 0);
    EXPECT_TRUE(download.listener.Failures().empty());
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
