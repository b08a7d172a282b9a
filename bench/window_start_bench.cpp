// Times LumikartaSystemInfo from process start to its main window's first paint, without a display:
// `--screenshot` runs the whole start-up, renders the window offscreen into a PNG file and exits.
// The peer is a bare Qt program that renders a dialog of the same controls the same way, so the
// ratio is the price of our own start-up. Medians of several runs, and the peak memory of ours.
//
//   window_start_bench [--runs N]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "process_run.h"

int main(int argc, char** argv) {
    int runs = 9;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    }
    setenv("LUMIKARTA_HKLM", LUMIKARTA_SAMPLE_HKLM, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "window_start_bench";
    // The FAQ cache folder the start-up prepares goes here rather than into the machine's.
    setenv("LUMIKARTA_COMMON_APPDATA", scratch.c_str(), 0);
    const std::string image = (scratch / "main-window.png").string();
    std::filesystem::create_directories(scratch);
    const std::vector<std::string> ours = {LUMIKARTA_PROGRAM, "--screenshot", image};
    const std::vector<std::string> peer = {LUMIKARTA_BARE_QT_WINDOW, image};

    Measure(ours);  // warm the caches
    Measure(peer);
    std::vector<Run> ourRuns;
    std::vector<Run> peerRuns;
    for (int i = 0; i < runs; ++i) {
        ourRuns.push_back(Measure(ours));
        peerRuns.push_back(Measure(peer));
    }
    std::filesystem::remove_all(scratch);

    const Run ourMedian = Median(ourRuns);
    const Run peerMedian = Median(peerRuns);
    long ourPeakKiB = 0;
    for (const Run& run : ourRuns) {
        ourPeakKiB = std::max(ourPeakKiB, run.peakKiB);
    }
    std::printf("%-40s %7.1f ms median of %d, peak %5.1f MiB\n", "LumikartaSystemInfo --screenshot",
                ourMedian.seconds * 1e3, runs, static_cast<double>(ourMedian.peakKiB) / 1024);
    std::printf("%-40s %7.1f ms median of %d, peak %5.1f MiB\n", "bare Qt dialog, same controls",
                peerMedian.seconds * 1e3, runs, static_cast<double>(peerMedian.peakKiB) / 1024);
    std::printf("start to first paint:  %.1f ms (target at most 300)\n", ourMedian.seconds * 1e3);
    std::printf("peak memory:           %.1f MiB (target at most 80)\n",
                static_cast<double>(ourPeakKiB) / 1024);
    std::printf("ratio to the bare Qt dialog: %.2f x its time, %.2f x its memory\n",
                ourMedian.seconds / peerMedian.seconds,
                static_cast<double>(ourMedian.peakKiB) / static_cast<double>(peerMedian.peakKiB));
    return ourMedian.exitStatus == 0 && peerMedian.exitStatus == 0 ? 0 : 1;
}
