// Loads a large Wine machine hive and collects the leaf paths below SOFTWARE\Lumikarta, against
// `grep -c '^\['` over the same file: both as whole processes, medians of several runs, with the
// peak memory of the load.
//
//   registry_bench [--runs N] [--keep FILE]
//   registry_bench --load FILE        (the measured child: load, walk, print the leaf count)

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/collect_leaf_paths.h"
#include "common/registry_walker.h"
#include "platform/hive_registry.h"
#include "process_run.h"

namespace {

// A deterministic hive of about 25 MB: ~250,000 keys spread over vendors and components like a real
// system.reg, and a Lumikarta tree of 50 products in the 32-bit view.
void GenerateHive(const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    char line[512];
    for (int vendor = 0; vendor < 250; ++vendor) {
        for (int component = 0; component < 250; ++component) {
            for (int setting = 0; setting < 4; ++setting) {
                std::snprintf(line, sizeof line,
                              "[Software\\\\Vendor%03d\\\\Component%04d\\\\Setting%d] "
                              "1700000000\n#time=1d9a1b2c3d4e5f6\n"
                              "\"Value\"=\"%08x\"\n",
                              vendor, component, setting, next());
                out << line;
                if (setting == 0) {
                    std::snprintf(line, sizeof line, "\"Flags\"=dword:%08x\n", next() & 0xff);
                    out << line;
                }
                out << '\n';
            }
        }
        if (vendor == 125) {
            for (int product = 0; product < 50; ++product) {
                std::snprintf(
                    line, sizeof line,
                    "[Software\\\\Wow6432Node\\\\Lumikarta\\\\Produkt%02d\\\\Skyrund\\\\%d00] 1700000000\n"
                    "\"VERSION\"=\"%d00\"\n\n",
                    product, product % 9 + 1, product % 9 + 1);
                out << line;
                for (int region = 0; region < 3; ++region) {
                    std::snprintf(line, sizeof line,
                                  "[Software\\\\Wow6432Node\\\\Lumikarta\\\\Produkt%02d\\\\Region%d\\\\%d00] "
                                  "1700000000\n\n",
                                  product, region, product % 9 + 1);
                    out << line;
                }
            }
        }
    }
}

int LoadAndWalk(const char* file) {
    const auto start = std::chrono::steady_clock::now();
    platform::HiveRegistry registry(file, "");
    CRegistryWalker walker(registry);
    std::vector<std::string> leaves;
    if (walker.Open(platform::RegRoot::LocalMachine, "SOFTWARE\\Lumikarta")) {
        CollectLeafPaths(walker, leaves);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu %.6f\n", leaves.size(), seconds);
    return leaves.size() == 200 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) {
        return LoadAndWalk(argv[2]);
    }
    int runs = 7;
    std::filesystem::path file;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            file = argv[i + 1];
        }
    }
    const bool keep = !file.empty();
    if (!keep) {
        file =
            std::filesystem::temp_directory_path() / ("lumikarta-bench-" + std::to_string(getpid()) + ".reg");
    }
    GenerateHive(file);
    const auto size = std::filesystem::file_size(file);

    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    std::vector<Run> ours;
    std::vector<Run> grep;
    Measure({"grep", "-c", "^\\[", file.string()});  // warm the page cache
    for (int i = 0; i < runs; ++i) {
        ours.push_back(Measure({self, "--load", file.string()}));
        grep.push_back(Measure({"grep", "-c", "^\\[", file.string()}));
    }
    // The child prints its leaf count and the seconds its load and walk took inside the process.
    std::vector<double> work;
    bool complete = true;
    for (const Run& run : ours) {
        unsigned leaves = 0;
        double seconds = 0;
        complete =
            complete && std::sscanf(run.output.c_str(), "%u %lf", &leaves, &seconds) == 2 && leaves == 200;
        work.push_back(seconds);
    }
    std::sort(work.begin(), work.end());
    const double loadSeconds = work[work.size() / 2];
    const Run process = Median(ours);
    const Run peer = Median(grep);
    const double fileMiB = static_cast<double>(size) / (1024.0 * 1024.0);
    const double peakMiB = static_cast<double>(process.peakKiB) / 1024.0;
    std::printf("hive file:               %.1f MiB, %s keys\n", fileMiB, peer.output.c_str());
    std::printf("load + leaf paths:       %.1f ms median of %d (whole process %.1f ms), peak %.1f MiB\n",
                loadSeconds * 1e3, runs, process.seconds * 1e3, peakMiB);
    std::printf("grep -c '^\\[' process:  %.1f ms median of %d\n", peer.seconds * 1e3, runs);
    std::printf("time ratio:              %.2f x grep (target at most 3; whole processes: %.2f)\n",
                loadSeconds / peer.seconds, process.seconds / peer.seconds);
    std::printf("memory ratio:            %.2f x file size (target at most 3)\n", peakMiB / fileMiB);
    if (!keep) {
        std::filesystem::remove(file);
    }
    if (!complete) {
        std::printf("the walk did not find the 200 leaf keys of the Lumikarta tree\n");
    }
    return complete ? 0 : 1;
}
