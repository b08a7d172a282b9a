#include "sysinfo/linux_os_description.h"

#include <array>
#include <charconv>
#include <map>

#include "text/text_lines.h"

namespace {

// One os-release value: the shell-style quoting and escapes undone, as os-release(5) asks readers.
std::string Unquote(std::string_view raw) {
    std::string value;
    char quote = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (quote == '\'') {
            c == '\'' ? void(quote = 0) : value.push_back(c);
        } else if (c == '\\' && i + 1 < raw.size()) {
            value.push_back(raw[++i]);
        } else if (c == '"' || (c == '\'' && quote == 0)) {
            quote = quote == c ? 0 : c;
        } else if (quote == 0 && (c == ' ' || c == '\t' || c == '#')) {
            break;
        } else {
            value.push_back(c);
        }
    }
    return value;
}

std::map<std::string, std::string, std::less<>> ParseOsRelease(std::string_view text) {
    std::map<std::string, std::string, std::less<>> fields;
    for (std::string_view line : TextLines(text)) {
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        fields[std::string(line.substr(0, equals))] = Unquote(line.substr(equals + 1));
    }
    return fields;
}

std::string_view Bitness(std::string_view architecture) {
    static constexpr std::array k32Bit = {"i386",   "i486", "i586",   "i686", "arm",  "armv6l", "armv7l",
                                          "armv8l", "mips", "mipsel", "ppc",  "s390", "sparc",  "riscv32"};
    for (const char* name : k32Bit) {
        if (architecture == name) {
            return "32-bit";
        }
    }
    if (architecture.find("64") != std::string_view::npos || architecture == "s390x") {
        return "64-bit";
    }
    return {};
}

}  // namespace

std::string DistributionName(std::string_view osRelease) {
    const auto fields = ParseOsRelease(osRelease);
    const auto field = [&fields](std::string_view key) {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string() : found->second;
    };
    if (std::string pretty = field("PRETTY_NAME"); !pretty.empty()) {
        return pretty;
    }
    std::string name = field("NAME");
    const std::string version = field("VERSION");
    if (!name.empty() && !version.empty()) {
        name += ' ';
    }
    return name + version;
}

uint32_t KernelMajorVersion(std::string_view release) {
    uint32_t major = 0;
    std::from_chars(release.data(), release.data() + release.size(), major);
    return major;
}

std::string DescribeLinux(std::string_view distribution, std::string_view architecture,
                          std::string_view kernelRelease) {
    std::string line(distribution.empty() ? std::string_view("Linux") : distribution);
    if (const std::string_view bitness = Bitness(architecture); !bitness.empty()) {
        line.append(", ").append(bitness);
    }
    if (!kernelRelease.empty()) {
        line.append(" (kernel ").append(kernelRelease).append(")");
    }
    return line;
}
