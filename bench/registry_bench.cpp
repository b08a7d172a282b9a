// Loads registry text files of several shapes and does with each what the program does (collect
// leaf paths, enumerate values or subkeys, detect the products), against `grep -c '^\['` over the
// same file. Besides a large Wine machine hive the shapes are the hostile ones that once took
// quadratic time.
//
// Like with like: both are whole processes started the same way, each reading the file once from
// the page cache (one warm-up run of each first), timed from the start to the exit; the ratio is of
// the medians of these times. On a busy machine the wall times wander with the other processes, so
// the ratio of the processor times (user and system, medians too) is shown beside it. The child
// also reports the time of its load and walk alone, for information only: it leaves out the start
// of the process, which grep's time includes.
//
//   registry_bench [--runs N] [--keep FOLDER]
//   registry_bench --load SHAPE FILE   (the measured child: load, walk, print the count it found)

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hive/hive_registry.h"
#include "process_run.h"
#include "registry/collect_leaf_paths.h"
#include "registry/reg_subkey_enum.h"
#include "registry/reg_value_enum.h"
#include "registry/registry_walker.h"
#include "sysinfo/system_info.h"

namespace {

constexpr char kRegedit[] = "Windows Registry Editor Version 5.00\n\n";
constexpr char kLumikarta[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta";

// A deterministic hive of about 25 MB: ~250,000 keys spread over vendors and components like a real
// system.reg, and a Lumikarta tree of 50 products in the 32-bit view.
void GenerateWineHive(std::ofstream& out) {
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

void GenerateManyValues(std::ofstream& out) {
    out << kRegedit << kLumikarta << "\\Viele]\n";
    for (int i = 0; i < 100000; ++i) {
        out << "\"Wert" << i << "\"=\"" << i << "\"\n";
    }
}

void GenerateRepeatedHeader(std::ofstream& out) {
    out << kRegedit;
    for (int i = 0; i < 100000; ++i) {
        out << kLumikarta << "\\Viele]\n\"Wert" << i << "\"=\"" << i << "\"\n\n";
    }
}

// 40,000 keys side by side, 30,000 of them deleted again.
void GenerateDeletions(std::ofstream& out) {
    out << kRegedit;
    for (int i = 0; i < 40000; ++i) {
        out << kLumikarta << "\\Alt\\Key" << i << "]\n\n";
    }
    for (int i = 0; i < 30000; ++i) {
        out << "[-" << (kLumikarta + 1) << "\\Alt\\Key" << i * 4 / 3 << "]\n\n";
    }
}

void GenerateProducts(std::ofstream& out) {
    out << kRegedit;
    for (int i = 0; i < 30000; ++i) {
        out << kLumikarta << "\\Produkt" << i << "\\Skyrund\\300]\n\"VERSION\"=\"300\"\n\n";
        out << kLumikarta << "\\Produkt" << i << "\\Region\\300]\n\n";
    }
}

std::size_t LeafPaths(platform::Registry& registry) {
    CRegistryWalker walker(registry);
    std::vector<std::string> leaves;
    if (walker.Open(platform::RegRoot::LocalMachine, "SOFTWARE\\Lumikarta")) {
        CollectLeafPaths(walker, leaves);
    }
    return leaves.size();
}

// The entries of the key `path` that an enumeration of the kind `Enum` delivers.
template <class Enum>
std::size_t Enumerated(platform::Registry& registry, const char* path) {
    CRegistryWalker walker(registry);
    std::size_t count = 0;
    if (walker.Open(platform::RegRoot::LocalMachine, path)) {
        Enum entries(walker);
        for (entries.Start(); !entries.Done(); entries.Next()) {
            ++count;
        }
    }
    return count;
}

std::size_t Values(platform::Registry& registry) {
    return Enumerated<CRegValueEnum>(registry, "SOFTWARE\\Lumikarta\\Viele");
}

std::size_t Subkeys(platform::Registry& registry) {
    return Enumerated<CRegSubkeyEnum>(registry, "SOFTWARE\\Lumikarta\\Alt");
}

std::size_t Products(platform::Registry& /*registry*/) {
    CSystemInfo info;
    info.DetectProducts();
    return info.m_Products.size();
}

struct Shape {
    const char* name;
    const char* label;
    void (*generate)(std::ofstream&);
    std::size_t (*walk)(platform::Registry&);
    std::size_t expected;
};

const Shape kShapes[] = {
    {"hive", "Wine hive, leaf paths", GenerateWineHive, LeafPaths, 200},
    {"values", "one key, 100,000 values", GenerateManyValues, Values, 100000},
    {"headers", "one key line 100,000 times", GenerateRepeatedHeader, Values, 100000},
    {"deletions", "30,000 key deletions", GenerateDeletions, Subkeys, 10000},
    {"products", "30,000 products detected", GenerateProducts, Products, 30000},
};

const Shape* ShapeNamed(const char* name) {
    for (const Shape& shape : kShapes) {
        if (std::strcmp(shape.name, name) == 0) {
            return &shape;
        }
    }
    return nullptr;
}

int LoadAndWalk(const Shape& shape, const char* file) {
    const auto start = std::chrono::steady_clock::now();
    platform::SetSystemRegistry(std::make_unique<platform::HiveRegistry>(file, ""));
    const std::size_t count = shape.walk(platform::SystemRegistry());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu %.6f\n", count, seconds);
    return count == shape.expected ? 0 : 1;
}

double MedianCpu(std::vector<Run> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.cpuSeconds < b.cpuSeconds; });
    return runs[runs.size() / 2].cpuSeconds;
}

// Measures one shape; false when the walk did not find what the file holds.
bool Bench(const Shape& shape, const std::filesystem::path& file, int runs) {
    {
        std::ofstream out(file, std::ios::binary);
        shape.generate(out);
    }
    const auto size = std::filesystem::file_size(file);
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const std::vector<std::string> grepArgs = {"grep", "-c", "^\\[", file.string()};
    std::vector<Run> ours;
    std::vector<Run> grep;
    const std::vector<std::string> ourArgs = {self, "--load", shape.name, file.string()};
    Measure(grepArgs);
    Measure(ourArgs);
    for (int i = 0; i < runs; ++i) {
        ours.push_back(Measure(ourArgs));
        grep.push_back(Measure(grepArgs));
    }
    // The child prints its count and the seconds its load and walk took inside the process.
    std::vector<double> work;
    bool complete = true;
    for (const Run& run : ours) {
        std::size_t count = 0;
        double seconds = 0;
        complete = complete && std::sscanf(run.output.c_str(), "%zu %lf", &count, &seconds) == 2 &&
                   count == shape.expected;
        work.push_back(seconds);
    }
    std::sort(work.begin(), work.end());
    const double loadSeconds = work[work.size() / 2];
    const Run process = Median(ours);
    const Run peer = Median(grep);
    const double fileMiB = static_cast<double>(size) / (1024.0 * 1024.0);
    const double peakMiB = static_cast<double>(process.peakKiB) / 1024.0;
    std::printf("%s: %.1f MiB, %s key lines\n", shape.label, fileMiB, peer.output.c_str());
    std::printf("  our process:   %.1f ms median of %d (load + walk inside it %.1f ms), peak %.1f MiB\n",
                process.seconds * 1e3, runs, loadSeconds * 1e3, peakMiB);
    std::printf("  grep process:  %.1f ms\n", peer.seconds * 1e3);
    std::printf("  time ratio:    %.2f x grep (whole processes; target at most 3), processor time %.2f x\n",
                process.seconds / peer.seconds, MedianCpu(ours) / MedianCpu(grep));
    std::printf("  memory ratio:  %.2f x file size\n", peakMiB / fileMiB);
    if (!complete) {
        std::printf("  the walk did not find the %zu entries the file holds\n", shape.expected);
    }
    return complete;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--load") == 0) {
        const Shape* shape = ShapeNamed(argv[2]);
        return shape != nullptr ? LoadAndWalk(*shape, argv[3]) : 2;
    }
    int runs = 7;
    std::filesystem::path folder;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            folder = argv[i + 1];
        }
    }
    const bool keep = !folder.empty();
    if (!keep) {
        folder = std::filesystem::temp_directory_path() / ("lumikarta-bench-" + std::to_string(getpid()));
    }
    std::filesystem::create_directories(folder);
    bool complete = true;
    for (const Shape& shape : kShapes) {
        complete = Bench(shape, folder / (std::string(shape.name) + ".reg"), runs) && complete;
    }
    if (!keep) {
        std::filesystem::remove_all(folder);
    }
    return complete ? 0 : 1;
}
