// Times `LumikartaSystemInfo --print-info` against two programs that gather the same kind of facts,
// `neofetch --stdout` and `inxi -b -c0`, as whole processes in the same run: medians of several
// runs, and the peak memory of ours.
//
//   print_info_bench [--runs N]      (bench/run-print-info-bench.sh installs the two peers)

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "process_run.h"

namespace {

bool OnPath(const std::string& program) {
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        if (access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

struct Contender {
    std::string label;
    std::vector<std::string> command;
    std::vector<Run> runs;
};

}  // namespace

int main(int argc, char** argv) {
    int runs = 9;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    }
    // The sample machine registry, so the products are found as in the demo.
    setenv("LUMIKARTA_HKLM", LUMIKARTA_SAMPLE_HKLM, 0);
    std::vector<Contender> contenders = {
        {"LumikartaSystemInfo --print-info", {LUMIKARTA_PROGRAM, "--print-info"}, {}},
        {"neofetch --stdout", {"neofetch", "--stdout"}, {}},
        {"inxi -b -c0", {"inxi", "-b", "-c0"}, {}},
    };
    // A peer that is not installed is left out; ours is given with its full path.
    std::erase_if(contenders,
                  [](const Contender& c) { return c.command[0][0] != '/' && !OnPath(c.command[0]); });
    for (Contender& contender : contenders) {
        Measure(contender.command);  // warm the caches
    }
    for (int i = 0; i < runs; ++i) {
        for (Contender& contender : contenders) {
            contender.runs.push_back(Measure(contender.command));
        }
    }
    const Run ours = Median(contenders.front().runs);
    long oursPeakKiB = 0;
    for (const Run& run : contenders.front().runs) {
        oursPeakKiB = std::max(oursPeakKiB, run.peakKiB);
    }
    double fastestPeer = 0;
    for (const Contender& contender : contenders) {
        const Run median = Median(contender.runs);
        std::printf("%-34s %8.1f ms median of %d, peak %6.1f MiB\n", contender.label.c_str(),
                    median.seconds * 1e3, runs, static_cast<double>(median.peakKiB) / 1024);
        if (&contender != &contenders.front() && (fastestPeer == 0 || median.seconds < fastestPeer)) {
            fastestPeer = median.seconds;
        }
    }
    const double peakMiB = static_cast<double>(oursPeakKiB) / 1024;
    std::printf("peak memory of --print-info:       %.1f MiB (target at most 30)\n", peakMiB);
    if (fastestPeer == 0) {
        std::printf(
            "neither neofetch nor inxi is installed: no ratio (bench/run-print-info-bench.sh installs "
            "them)\n");
        return 1;
    }
    std::printf(
        "speed ratio:                       %.1f x faster than the faster peer (target at least 10)\n",
        fastestPeer / ours.seconds);
    return ours.exitStatus == 0 ? 0 : 1;
}
