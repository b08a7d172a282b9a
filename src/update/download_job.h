#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "update/download_failure.h"

// Where the download worker reports to. Called on the worker's thread: an implementation hands the
// notice over to its own thread and returns at once, so the worker never waits for a window.
class DownloadListener {
public:
    virtual ~DownloadListener() = default;
    // The counters have changed; at most every 100 ms, and only while data arrives.
    virtual void NotifyProgress() = 0;
    // The whole file has been written and closed.
    virtual void NotifyDone() = 0;
    // The transfer failed; what it wrote is gone and the target is as it was.
    virtual void NotifyFailed(const DownloadFailure& failure) = 0;
};

// The counters a window shows while its worker fills them: each has one writer, the worker, and a
// reader may see a value one step old. 64 bits, since installers can be larger than 2 GiB.
struct DownloadCounters {
    // Content-Length of the response; -1 until it has arrived and when the server sends none.
    std::atomic<int64_t> totalBytes{-1};
    std::atomic<int64_t> loadedBytes{0};
};

// What a window shares with its download worker. Everything but `cancel` is set before the worker
// starts and not changed while it runs.
struct DownloadJob {
    DownloadListener* window = nullptr;
    std::string m_strUrl;
    std::string m_strTargetPath;
    // The SHA-256 the update definition gives for the file, as written there; the file replaces the
    // target only when it matches. None when the definition gives none.
    std::optional<std::string> expectedSha256;
    DownloadCounters* counters = nullptr;
    // 1 asks the worker to stop; it then deletes what it wrote and reports nothing.
    std::atomic<int32_t> cancel{0};
};
