#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "helpers/raw_http_server.h"
#include "helpers/temp_dir.h"
#include "platform/process_id.h"
#include "update/download_worker.h"
#include "update/format_size.h"

// Runs on both platforms.

namespace {

// Notices as the worker gives them, from its own thread.
class RecordingListener final : public DownloadListener {
public:
    void NotifyProgress() override {}
    void NotifyDone() override { ++done; }
    void NotifyFailed(const DownloadFailure& failure) override {
        std::lock_guard lock(m_mutex);
        m_failures.push_back(failure);
    }

    std::vector<DownloadFailure> Failures() {
        std::lock_guard lock(m_mutex);
        return m_failures;
    }
    std::atomic<int> done{0};

private:
    std::mutex m_mutex;
    std::vector<DownloadFailure> m_failures;
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

// Every file of the folder with its bytes, so a leftover beside the target shows too.
std::map<std::string, std::string> FolderFiles(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    }
    return files;
}

// Whatever becomes of a download, the file it would replace is either the old one, whole, or the
// new one, whole and as the definition's SHA-256 says, and nothing else is left in the folder. A
// hostile server holds a download only as long as the user lets it: a body without end, a terabyte
// announced or a stall is streamed to disk until cancelled.
TEST(DownloadWorker, ReplacesTheTargetOnlyWithACompleteFile) {
    const std::string installer(3000, 'i');
    RawHttpServer file(RawHttpReply::Complete(installer));
    // Of the 3000 bytes of the installer.
    const std::string hex = "9B99964F5DDFEF8EA1D37A4B46C14047265230F8A4B95D4DF23687FC15F5C31E";
    const auto changed = [&hex](std::size_t at, const char* digits) {
        return std::string(hex).replace(at, 2, digits);
    };
    using Reason = DownloadFailure::Reason;
    struct Case {
        const char* label;
        RawHttpReply reply;
        std::optional<std::string> sha256;
        // None: the download succeeds; otherwise the reasons it may fail for.
        std::optional<std::vector<Reason>> failure;
        bool cancel = false;
        // A temporary file of an ended process beside the target, and one of a running process.
        bool leftovers = false;
    };
    const Case cases[] = {
        {"moved",
         RawHttpReply::Status("302 Found",
                              "Location: " + file.Url("/setup.exe") + "\r\nContent-Length: 0\r\n"),
         std::nullopt, std::nullopt},
        {"padded digest", RawHttpReply::Complete(installer), "\n    " + hex + "\n  ", std::nullopt},
        {"other digest", RawHttpReply::Complete(installer), changed(20, "00"), {{Reason::ChecksumMismatch}}},
        {"sign in digest", RawHttpReply::Complete(installer), changed(30, "-1"), {{Reason::InvalidChecksum}}},
        {"no hex digit", RawHttpReply::Complete(installer), changed(62, "fg"), {{Reason::InvalidChecksum}}},
        {"empty digest", RawHttpReply::Complete(installer), "", {{Reason::InvalidChecksum}}},
        {"missing",
         RawHttpReply::Status("404 Not Found", "Content-Length: 0\r\n"),
         std::nullopt,
         {{Reason::ServerStatus}}},
        {"empty", RawHttpReply::EmptyBody(), std::nullopt, {{Reason::EmptyFile}}},
        {"cut", RawHttpReply::CutBody(std::string(1000, 'c')), std::nullopt, {{Reason::System}}},
        // Wine's WinINet takes a chunked body cut before its last chunk for a whole one, so there
        // only the digest tells.
        {"cut chunks",
         RawHttpReply::Status("200 OK", "Transfer-Encoding: chunked\r\n", "3e8\r\n" + std::string(1000, 'i')),
         hex,
         {{Reason::System, Reason::ChecksumMismatch}}},
        {"endless", RawHttpReply::EndlessBody(), std::nullopt, std::nullopt, true},
        {"huge length", RawHttpReply::HugeLength(), std::nullopt, std::nullopt, true},
        {"stall", RawHttpReply::Stall("first piece"), std::nullopt, std::nullopt, true},
        {"leftovers", RawHttpReply::Complete(installer), std::nullopt, std::nullopt, false, true},
    };
    // No process has an id this high, on either system.
    const std::string ended = "setup.exe.2147483644-0123456789abcdef.part";
    const std::string running =
        "setup.exe." + std::to_string(platform::CurrentProcessId()) + "-0123456789abcdef.part";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RawHttpServer server(c.reply);
        TempDir folder;
        folder.WriteFile("setup.exe", "old");
        if (c.leftovers) {
            folder.WriteFile(ended, "half");
            folder.WriteFile(running, "half");
        }
        Download download(server.Url("/setup.exe"), folder.Path() / "setup.exe");
        download.job.expectedSha256 = c.sha256;
        std::thread worker([&] { DownloadWorker(&download.job); });
        while (c.cancel && download.counters.loadedBytes == 0 && download.listener.Failures().empty() &&
               download.listener.done == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        download.job.cancel = c.cancel;
        worker.join();

        const bool succeeds = !c.failure && !c.cancel;
        EXPECT_EQ(download.listener.done, succeeds ? 1 : 0);
        if (succeeds) {
            EXPECT_EQ(download.counters.totalBytes, 3000);
            EXPECT_EQ(download.counters.loadedBytes, 3000);
        }
        const std::vector<DownloadFailure> failures = download.listener.Failures();
        ASSERT_EQ(failures.size(), c.failure ? 1u : 0u);
        if (c.failure) {
            EXPECT_NE(std::find(c.failure->begin(), c.failure->end(), failures[0].reason), c.failure->end())
                << static_cast<int>(failures[0].reason) << " " << failures[0].systemText;
            EXPECT_EQ(failures[0].status, failures[0].reason == Reason::ServerStatus ? 404 : 0);
        }
        std::map<std::string, std::string> expected{{"setup.exe", succeeds ? installer : "old"}};
        if (c.leftovers) {
            expected[running] = "half";
        }
        EXPECT_EQ(FolderFiles(folder.Path()), expected);
    }
}

// A target that is a link keeps it, as does each link of a chain: the file they lead to gets the
// download, as it did when the download was written in place. Links that lead round in a circle
// are no place to write.
TEST(DownloadWorker, WritesThroughLinkedTargets) {
    RawHttpServer server(RawHttpReply::Complete("new"));
    struct Case {
        const char* label;
        std::vector<std::pair<std::string, std::string>> links;
        bool written;
        // What the folder real/ holds afterwards; it starts with setup.exe "old".
        std::map<std::string, std::string> real;
    };
    const Case cases[] = {
        {"chain",
         {{"setup.exe", "middle.exe"}, {"middle.exe", "real/setup.exe"}},
         true,
         {{"setup.exe", "new"}}},
        {"to a new file", {{"setup.exe", "real/new.exe"}}, true, {{"setup.exe", "old"}, {"new.exe", "new"}}},
        {"circle", {{"setup.exe", "middle.exe"}, {"middle.exe", "setup.exe"}}, false, {{"setup.exe", "old"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir folder;
        std::filesystem::create_directory(folder.Path() / "real");
        folder.WriteFile("real/setup.exe", "old");
        std::error_code error;
        for (const auto& [link, target] : c.links) {
            std::filesystem::create_symlink(target, folder.Path() / link, error);
        }
        if (!std::filesystem::is_symlink(folder.Path() / "setup.exe")) {
            GTEST_SKIP() << "no file links here";
        }

        Download download(server.Url("/setup.exe"), folder.Path() / "setup.exe");
        DownloadWorker(&download.job);
        EXPECT_EQ(download.listener.done, c.written ? 1 : 0);
        EXPECT_EQ(download.listener.Failures().size(), c.written ? 0u : 1u);
        for (const auto& [link, target] : c.links) {
            EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / link)) << link;
        }
        EXPECT_EQ(FolderFiles(folder.Path() / "real"), c.real);
    }
}

TEST(FormatSize, UsesBytesKilobytesOrMegabytesWithAPoint) {
    const std::pair<int64_t, const char*> cases[] = {
        {-1, "-1 Bytes"},        {1024, "1024 Bytes"}, {1025, "1.00 KB"},
        {1048576, "1024.00 KB"}, {1048577, "1.00 MB"}, {3LL << 30, "3072.00 MB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(FormatSize(bytes), text) << bytes;
    }
}

}  // namespace
