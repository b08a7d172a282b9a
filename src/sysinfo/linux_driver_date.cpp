#include "sysinfo/linux_driver_date.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <string>
#include <vector>

#include "sysinfo/linux_kernel.h"
#include "sysinfo/system_files.h"
#include "text/text_lines.h"

namespace {

using std::chrono::year_month_day;

// Module names have '_' where the files they come from may have '-' ("bochs-drm.ko" loads as
// bochs_drm).
bool SameModuleName(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c == '-' ? '_' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&fold](char x, char y) { return fold(x) == fold(y); });
}

// The module name a module file stands for: its file name without ".ko" and a compression suffix;
// empty for a file that is no module.
std::string_view ModuleNameOfFile(std::string_view path) {
    const std::string_view file = path.substr(path.rfind('/') + 1);
    const std::size_t ko = file.rfind(".ko");
    if (ko == std::string_view::npos) {
        return {};
    }
    const std::string_view compression = file.substr(ko + 3);
    if (!compression.empty() && compression != ".xz" && compression != ".zst" && compression != ".gz") {
        return {};
    }
    return file.substr(0, ko);
}

// The module's file as modules.dep names it ("kernel/drivers/gpu/drm/amd/amdgpu/amdgpu.ko.xz:
// deps..."); empty when the list does not have it.
std::string_view ModuleFile(std::string_view modulesDep, std::string_view moduleName) {
    for (const std::string_view line : TextLines(modulesDep)) {
        const std::string_view file = line.substr(0, line.find(':'));
        if (file.size() < line.size() && SameModuleName(ModuleNameOfFile(file), moduleName)) {
            return file;
        }
    }
    return {};
}

std::optional<year_month_day> ModifiedDate(const std::filesystem::path& file) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file, error);
    if (error) {
        return std::nullopt;
    }
    return year_month_day(std::chrono::floor<std::chrono::days>(std::chrono::file_clock::to_sys(written)));
}

std::optional<year_month_day> ModuleFileDate(std::string_view moduleName) {
    const std::string release = linux_kernel::Release();
    if (moduleName.empty() || release.empty()) {
        return std::nullopt;
    }
    const std::string folder = "/lib/modules/" + release + "/";
    const std::string modulesDep = sysfiles::ReadSystemFile(folder + "modules.dep").value_or(std::string());
    const std::string_view file = ModuleFile(modulesDep, moduleName);
    if (file.empty()) {
        return std::nullopt;
    }
    // Old tools wrote whole paths, newer ones paths below the kernel's module folder.
    return ModifiedDate(
        sysfiles::SystemPath(file.front() == '/' ? std::string(file) : folder + std::string(file)));
}

// The value of a word made only of decimal digits, at most `maxDigits` of them.
std::optional<unsigned> DigitsValue(std::string_view word, std::size_t maxDigits) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || word.size() > maxDigits || error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<year_month_day> MakeDate(std::optional<unsigned> year, std::optional<unsigned> month,
                                       std::optional<unsigned> day) {
    if (!year || !month || !day) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year(static_cast<int>(*year)), std::chrono::month(*month),
                              std::chrono::day(*day)};
    return date.ok() ? std::optional(date) : std::nullopt;
}

// Debian puts the build date in parentheses: "... Debian 6.1.76-1 (2024-02-01)".
std::optional<year_month_day> IsoBuildDate(std::string_view version) {
    for (std::size_t open = version.find('('); open != std::string_view::npos;
         open = version.find('(', open + 1)) {
        const std::string_view date = version.substr(open + 1, 11);
        if (date.size() == 11 && date[4] == '-' && date[7] == '-' && date[10] == ')') {
            if (auto found = MakeDate(DigitsValue(date.substr(0, 4), 4), DigitsValue(date.substr(5, 2), 2),
                                      DigitsValue(date.substr(8, 2), 2))) {
                return found;
            }
        }
    }
    return std::nullopt;
}

// Other kernels end with the build time as date(1) writes it, "Thu Feb  1 12:00:00 UTC 2024", or as
// mail headers do, "Thu, 01 Feb 2024 12:00:00 +0000": the day stands next to the month's name and
// the year is the first four-digit word after it.
std::optional<year_month_day> WrittenBuildDate(std::string_view version) {
    static constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::vector<std::string_view> words;
    for (std::size_t start = version.find_first_not_of(" \t,"); start != std::string_view::npos;) {
        const std::size_t end = std::min(version.find_first_of(" \t,", start), version.size());
        words.push_back(version.substr(start, end - start));
        start = version.find_first_not_of(" \t,", end);
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto month = std::find(kMonths.begin(), kMonths.end(), words[i]);
        if (month == kMonths.end()) {
            continue;
        }
        std::optional<unsigned> day = i + 1 < words.size() ? DigitsValue(words[i + 1], 2) : std::nullopt;
        if (!day && i > 0) {
            day = DigitsValue(words[i - 1], 2);
        }
        const auto year =
            std::find_if(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end(),
                         [](std::string_view word) { return word.size() == 4 && DigitsValue(word, 4); });
        if (year != words.end()) {
            const auto monthNumber = static_cast<unsigned>(month - kMonths.begin()) + 1;
            if (auto found = MakeDate(DigitsValue(*year, 4), monthNumber, day)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

std::optional<year_month_day> KernelBuildDate() {
    const std::string version = sysfiles::ReadSystemLine("/proc/sys/kernel/version");
    if (auto date = IsoBuildDate(version)) {
        return date;
    }
    return WrittenBuildDate(version);
}

}  // namespace

std::optional<year_month_day> LinuxDriverDate(std::string_view moduleName) {
    if (auto date = ModuleFileDate(moduleName)) {
        return date;
    }
    return KernelBuildDate();
}
