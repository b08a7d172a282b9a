#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sysinfo/arm_core_name.h"
#include "sysinfo/linux_kernel.h"
#include "sysinfo/system_files.h"
#include "sysinfo/system_info.h"
#include "text/text_lines.h"

namespace {

struct CpuinfoLine {
    std::string_view field;
    std::string_view value;
};

// A "field : value" line of /proc/cpuinfo, the value as the kernel wrote it after the separator;
// none for a line without a separator.
std::optional<CpuinfoLine> SplitLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view field = line.substr(0, colon);
    field.remove_suffix(field.size() - std::min(field.find_last_not_of(" \t") + 1, field.size()));
    std::string_view value = line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ') {
        value.remove_prefix(1);
    }
    return CpuinfoLine{field, value};
}

// The value of the first line that has the field; none when no line has it.
std::optional<std::string> CpuinfoValue(std::string_view cpuinfo, std::string_view field) {
    for (const std::string_view line : TextLines(cpuinfo)) {
        if (const auto split = SplitLine(line); split && split->field == field) {
            return std::string(split->value);
        }
    }
    return std::nullopt;
}

std::optional<unsigned> HexNumber(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    }
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, 16);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    return number;
}

// 64-bit ARM kernels name no model, only the ids of each core. Big and little cores of one chip
// differ, so each kind is named once, in the order the kernel lists them.
std::string ArmCoreNames(std::string_view cpuinfo) {
    std::vector<std::string> names;
    std::optional<unsigned> implementer;
    for (const std::string_view line : TextLines(cpuinfo)) {
        const auto split = SplitLine(line);
        if (!split) {
            continue;
        }
        if (split->field == "CPU implementer") {
            implementer = HexNumber(split->value);
        } else if (split->field == "CPU part" && implementer) {
            const std::optional<unsigned> part = HexNumber(split->value);
            std::optional<std::string> name = part ? ArmCoreName(*implementer, *part) : std::nullopt;
            if (name && std::find(names.begin(), names.end(), *name) == names.end()) {
                names.push_back(std::move(*name));
            }
        }
    }
    std::string joined;
    for (const std::string& name : names) {
        joined.append(joined.empty() ? "" : ", ").append(name);
    }
    return joined;
}

}  // namespace

void CSystemInfo::DetectCPU() {
    const std::string cpuinfo = sysfiles::ReadSystemFile("/proc/cpuinfo").value_or(std::string());
    if (auto name = CpuinfoValue(cpuinfo, "model name"); name && !name->empty()) {
        m_strCPUName = std::move(*name);
        return;
    }
    if (std::string cores = ArmCoreNames(cpuinfo); !cores.empty()) {
        m_strCPUName = std::move(cores);
        return;
    }
    // Older ARM kernels name the board, MIPS its "cpu model".
    static constexpr std::array kOtherNameFields = {"Hardware", "Processor", "cpu model"};
    for (const char* field : kOtherNameFields) {
        if (auto name = CpuinfoValue(cpuinfo, field); name && !name->empty()) {
            m_strCPUName = std::move(*name);
            return;
        }
    }
    m_strCPUName = linux_kernel::Architecture();
}
