// Downloads a 300 MB installer from the reference service over plain HTTP on loopback with the
// program's download worker (in this process) against `curl -s -o FILE URL` (a process of its own),
// same URL, same target folder, runs alternating: medians of several runs. Also counts the worker's
// progress notices per second of transfer, and times a cancel of a transfer the server has stalled,
// from setting `cancel` until the worker has returned.
//
//   download_bench [--runs N]      (bench/run-download-bench.sh installs curl)

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "lumikarta-service/reference_service.h"
#include "process_run.h"
#include "update/download_job.h"
#include "update/download_worker.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int64_t kFileBytes = 300'000'000;
constexpr double kMegabyte = 1e6;
constexpr double kThroughputTarget = 0.90;
constexpr double kNoticesTarget = 10;
constexpr double kCancelTargetMs = 1000;
// A cancel is only worth timing once the server has gone quiet, not while bytes still arrive.
constexpr auto kStallBeforeCancel = std::chrono::milliseconds(300);
constexpr auto kSetupWait = std::chrono::seconds(10);

// A repeating pattern rather than a sparse file: the service reads real pages for both clients.
void WriteInstaller(const std::filesystem::path& file) {
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>((i * 131 + i / 251) & 0xff);
    }
    std::ofstream out(file, std::ios::binary);
    for (std::int64_t left = kFileBytes; left > 0;) {
        const auto piece = static_cast<std::streamsize>(std::min<std::int64_t>(left, block.size()));
        out.write(block.data(), piece);
        left -= piece;
    }
    if (!out.flush()) {
        std::perror(file.c_str());
        std::exit(2);
    }
}

// Hears the worker on its own thread; nothing else touches it until the worker has returned.
class NoticeRecorder final : public DownloadListener {
public:
    void NotifyProgress() override { progress.push_back(Clock::now()); }
    void NotifyDone() override { done = true; }
    void NotifyFailed(const DownloadFailure& reported) override {
        failure = reported.systemText.empty()
                      ? "failed for reason " + std::to_string(static_cast<int>(reported.reason))
                      : reported.systemText;
    }

    std::vector<Clock::time_point> progress;
    bool done = false;
    std::string failure;
};

// One run of the worker: its job, and what the worker reports and counts.
struct WorkerRun {
    WorkerRun(const std::string& url, const std::filesystem::path& target) {
        job.window = &recorder;
        job.m_strUrl = url;
        job.m_strTargetPath = target.string();
        job.counters = &counters;
    }
    WorkerRun(const WorkerRun&) = delete;
    WorkerRun& operator=(const WorkerRun&) = delete;

    NoticeRecorder recorder;
    DownloadCounters counters;
    DownloadJob job;
};

struct OwnRun {
    double seconds = 0;
    std::size_t notices = 0;
    // Between two progress notices; negative when there were fewer than two.
    double smallestGapMs = -1;
};

OwnRun DownloadOnce(const std::string& url, const std::filesystem::path& target) {
    WorkerRun download(url, target);
    const NoticeRecorder& recorder = download.recorder;
    download.recorder.progress.reserve(1024);

    const auto start = Clock::now();
    DownloadWorker(&download.job);
    OwnRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::error_code error;
    const auto size = std::filesystem::file_size(target, error);
    if (!recorder.done || error || size != static_cast<std::uintmax_t>(kFileBytes)) {
        std::fprintf(stderr, "our download failed: %s\n",
                     recorder.failure.empty() ? "wrong size" : recorder.failure.c_str());
        std::exit(1);
    }
    std::filesystem::remove(target);
    run.notices = recorder.progress.size();
    for (std::size_t i = 1; i < recorder.progress.size(); ++i) {
        const double gap =
            std::chrono::duration<double, std::milli>(recorder.progress[i] - recorder.progress[i - 1])
                .count();
        run.smallestGapMs = i == 1 ? gap : std::min(run.smallestGapMs, gap);
    }
    return run;
}

Run CurlOnce(const std::vector<std::string>& curl, const std::filesystem::path& target) {
    Run run = Measure(curl);
    std::error_code error;
    const auto size = std::filesystem::file_size(target, error);
    if (run.exitStatus != 0 || error || size != static_cast<std::uintmax_t>(kFileBytes)) {
        std::fprintf(stderr, "curl's download failed (exit status %d)\n", run.exitStatus);
        std::exit(1);
    }
    std::filesystem::remove(target);
    return run;
}

// From setting `cancel` on a transfer the server holds until the worker has returned, in ms.
double CancelStalledOnce(const std::string& url, const std::filesystem::path& target) {
    WorkerRun download(url, target);
    const NoticeRecorder& recorder = download.recorder;

    std::thread worker([&download] { DownloadWorker(&download.job); });
    const auto deadline = Clock::now() + kSetupWait;
    while (download.counters.loadedBytes == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool started = download.counters.loadedBytes > 0;
    std::this_thread::sleep_for(kStallBeforeCancel);
    const auto start = Clock::now();
    download.job.cancel = 1;
    worker.join();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!started || recorder.done || !recorder.failure.empty()) {
        std::fprintf(stderr, "the stalled download did not start or ended on its own: %s\n",
                     recorder.failure.c_str());
        std::exit(1);
    }
    std::error_code ignored;
    if (std::filesystem::exists(target, ignored)) {
        std::printf("note: the cancelled download left its partial file behind\n");
        std::filesystem::remove(target, ignored);
    }
    return ms;
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    }
    // Loopback is what is measured, never a proxy from the environment (libcurl and curl alike).
    setenv("no_proxy", ReferenceService::kHost, 1);

    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "download_bench";
    std::filesystem::remove_all(scratch);
    const std::filesystem::path downloads = scratch / "downloads";
    const std::filesystem::path targets = scratch / "targets";
    std::filesystem::create_directories(downloads);
    std::filesystem::create_directories(targets);
    WriteInstaller(downloads / "installer.bin");

    ReferenceServiceOptions options;
    options.https = false;
    options.dataFolder = scratch / "service";
    options.downloadsFolder = downloads;
    ReferenceService service(options);
    service.Start();
    const std::string url = service.BaseUrl() + "/downloads/installer.bin";

    const std::filesystem::path ourTarget = targets / "ours.bin";
    const std::filesystem::path curlTarget = targets / "curl.bin";
    const std::vector<std::string> curl = {"curl", "-s", "-o", curlTarget.string(), url};

    DownloadOnce(url, ourTarget);  // warm the caches
    CurlOnce(curl, curlTarget);
    std::vector<double> ourSeconds;
    std::vector<double> curlSeconds;
    // The run with the most notices per second of transfer.
    OwnRun busiest;
    double mostNotices = -1;
    double smallestGapMs = -1;
    for (int i = 0; i < runs; ++i) {
        const OwnRun own = DownloadOnce(url, ourTarget);
        ourSeconds.push_back(own.seconds);
        const double perSecond = static_cast<double>(own.notices) / own.seconds;
        if (perSecond > mostNotices) {
            mostNotices = perSecond;
            busiest = own;
        }
        if (own.smallestGapMs >= 0 && (smallestGapMs < 0 || own.smallestGapMs < smallestGapMs)) {
            smallestGapMs = own.smallestGapMs;
        }
        curlSeconds.push_back(CurlOnce(curl, curlTarget).seconds);
    }

    std::vector<double> cancelMs;
    for (int i = 0; i < runs; ++i) {
        cancelMs.push_back(CancelStalledOnce(url + "?stall=1", targets / "stalled.bin"));
    }
    service.Stop();
    std::filesystem::remove_all(scratch);

    const double megabytes = static_cast<double>(kFileBytes) / kMegabyte;
    const double ourRate = megabytes / MedianOf(ourSeconds);
    const double curlRate = megabytes / MedianOf(curlSeconds);
    const double ratio = ourRate / curlRate;
    const double cancelMedian = MedianOf(cancelMs);
    const double cancelMax = *std::max_element(cancelMs.begin(), cancelMs.end());

    std::printf("%-40s %8.1f MB/s median of %d\n", "download worker (in process)", ourRate, runs);
    std::printf("%-40s %8.1f MB/s median of %d\n", "curl -s -o FILE (own process)", curlRate, runs);
    std::printf("ratio: %.2f x curl's throughput\n", ratio);
    std::printf("progress notices: at most %.1f per second of transfer (%zu in %.0f ms)", mostNotices,
                busiest.notices, busiest.seconds * 1e3);
    if (smallestGapMs >= 0) {
        std::printf(", at least %.0f ms apart\n", smallestGapMs);
    } else {
        std::printf(", never two in one run\n");
    }
    std::printf("cancel of a stalled transfer: median %.0f ms, max %.0f ms of %d\n", cancelMedian, cancelMax,
                runs);
    std::printf("\nsummary\n");
    std::printf("  throughput   %.2f x curl       target at least %.2f  %s\n", ratio, kThroughputTarget,
                Verdict(ratio >= kThroughputTarget));
    std::printf("  notices      %.1f per second   target at most %.0f     %s\n", mostNotices, kNoticesTarget,
                Verdict(mostNotices <= kNoticesTarget));
    std::printf("  cancel       %.0f ms max        target at most %.0f ms %s\n", cancelMax, kCancelTargetMs,
                Verdict(cancelMax <= kCancelTargetMs));
    return 0;
}
