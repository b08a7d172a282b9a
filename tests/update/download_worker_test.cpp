#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "support/local_http_server.h"
#include "support/raw_http_server.h"
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

// Every file of the folder with its bytes, so a leftover beside the target shows too.
std::map<std::string, std::string> FolderFiles(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    }
    return files;
}

// Sends the first 1000 bytes of a body in chunks, then closes the connection without the last chunk.
void ServeCutChunks(LocalHttpServer& server, const std::string& path) {
    server.Routes().Get(path, [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "application/octet-stream", [](std::size_t offset, httplib::DataSink& sink) {
                const std::string piece(1000 - offset, 'n');
                return offset < 1000 && sink.write(piece.data(), piece.size());
            });
    });
}

// Whatever becomes of a download, the file it would replace is either the old one, whole, or the
// new one, whole and as the definition's SHA-256 says, and nothing else is left in the folder.
TEST(DownloadWorker, ReplacesTheTargetOnlyWithACompleteFile) {
    const std::string installer(3000, 'i');
    LocalHttpServer server;
    server.Routes().Get("/file", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(installer, "application/octet-stream");
    });
    server.Routes().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/file");
    });
    ServeCutChunks(server, "/cut-chunked");
    server.Routes().Get("/empty", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("", "application/octet-stream");
    });
    server.Start();

    // Of the 3000 bytes of /file.
    const std::string hex = "9B99964F5DDFEF8EA1D37A4B46C14047265230F8A4B95D4DF23687FC15F5C31E";
    const auto changed = [&hex](std::size_t at, const char* digits) {
        return std::string(hex).replace(at, 2, digits);
    };
    struct Case {
        std::string url;
        std::optional<std::string> sha256;
        // None: the download succeeds; otherwise a part of the reason shown.
        std::optional<std::string> failure;
    };
    const Case cases[] = {
        {server.Url("/moved"), std::nullopt, std::nullopt},
        {"", std::nullopt, ""},
        {server.Url("/file"), "\n    " + hex + "\n  ", std::nullopt},
        {server.Url("/file"), changed(20, "00"), "does not match the SHA-256"},
        {server.Url("/file"), changed(30, "-1"), "no valid SHA-256"},
        {server.Url("/file"), changed(62, "fg"), "no valid SHA-256"},
        {server.Url("/file"), hex.substr(2), "no valid SHA-256"},
        {server.Url("/file"), "", "no valid SHA-256"},
        {server.Url("/missing"), std::nullopt, "HTTP 404"},
        {server.Url("/empty"), std::nullopt, "empty file"},
        // A cut with a length and a cancel are the hostile servers' cases below.
        {server.Url("/cut-chunked"), std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        TempDir folder;
        const std::string old = "the installer that was there before";
        folder.WriteFile("setup.exe", old);
        Download download(c.url, folder.Path() / "setup.exe");
        download.job.m_strSha256 = c.sha256;
        DownloadWorker(&download.job);

        const bool succeeds = !c.failure;
        EXPECT_EQ(download.listener.Done(), succeeds ? 1 : 0);
        if (succeeds) {
            EXPECT_EQ(download.counters.totalBytes, 3000);
            EXPECT_EQ(download.counters.loadedBytes, 3000);
        }
        const std::vector<std::string> failures = download.listener.Failures();
        ASSERT_EQ(failures.size(), c.failure ? 1u : 0u);
        if (c.failure) {
            EXPECT_NE(failures[0].find(*c.failure), std::string::npos) << failures[0];
        }
        const std::map<std::string, std::string> expected = {{"setup.exe", succeeds ? installer : old}};
        EXPECT_EQ(FolderFiles(folder.Path()), expected);
    }
}

// A hostile server holds a download only as long as the user lets it: a body without end, a
// terabyte announced or a drip is streamed to disk until cancelled, a cut or empty body fails, and
// the file it would replace stays as it was.
TEST(DownloadWorker, HostileServersNeitherHoldNorReplaceTheTarget) {
    struct Case {
        const char* label;
        RawHttpReply reply;
        bool cancel;
    };
    const Case cases[] = {
        {"endless", RawHttpReply::EndlessBody(), true},
        {"huge length", RawHttpReply::HugeLength(), true},
        {"drip", RawHttpReply::Drip(std::string(160, 'd')), true},
        {"cut", RawHttpReply::CutBody(std::string(1000, 'c')), false},
        {"empty", RawHttpReply::EmptyBody(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RawHttpServer server(c.reply);
        TempDir folder;
        folder.WriteFile("setup.exe", "old");
        Download download(server.Url("/setup.exe"), folder.Path() / "setup.exe");
        std::thread worker([&] { DownloadWorker(&download.job); });
        if (c.cancel) {
            while (download.counters.loadedBytes == 0 && download.listener.Failures().empty() &&
                   download.listener.Done() == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            download.job.cancel = 1;
        }
        worker.join();
        EXPECT_EQ(download.listener.Done(), 0);
        EXPECT_EQ(download.listener.Failures().size(), c.cancel ? 0u : 1u);
        EXPECT_EQ(FolderFiles(folder.Path()), (std::map<std::string, std::string>{{"setup.exe", "old"}}));
    }
}

// A target that is a link keeps it: the file it points to gets the download, as it did when the
// download was written in place.
TEST(DownloadWorker, WritesThroughALinkedTarget) {
    LocalHttpServer server;
    server.Routes().Get("/file", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("new", "application/octet-stream");
    });
    server.Start();
    TempDir folder;
    std::filesystem::create_directory(folder.Path() / "real");
    folder.WriteFile("real/setup.exe", "old");
    std::filesystem::create_symlink("real/setup.exe", folder.Path() / "setup.exe");

    Download download(server.Url("/file"), folder.Path() / "setup.exe");
    DownloadWorker(&download.job);
    EXPECT_EQ(download.listener.Done(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "setup.exe"));
    EXPECT_EQ(FolderFiles(folder.Path() / "real"),
              (std::map<std::string, std::string>{{"setup.exe", "new"}}));
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
