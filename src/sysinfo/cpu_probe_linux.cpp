#include <array>
#include <string_view>

#include "common/text_lines.h"
#include "sysinfo/linux_kernel.h"
#include "sysinfo/system_files.h"
#include "sysinfo/system_info.h"

namespace {

// The value of the first "field : value" line of /proc/cpuinfo, as the kernel wrote it after the
// separator; none when no line has that field.
std::optional<std::string> CpuinfoValue(std::string_view cpuinfo, std::string_view field) {
    for (const std::string_view line : TextLines(cpuinfo)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        std::string_view name = line.substr(0, colon);
        name.remove_suffix(name.size() - std::min(name.find_last_not_of(" \t") + 1, name.size()));
        if (name != field) {
            continue;
        }
        std::string_view value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        return std::string(value);
    }
    return std::nullopt;
}

}  // namespace

void CSystemInfo::DetectCPU() {
    const std::string cpuinfo = sysfiles::ReadSystemFile("/proc/cpuinfo").value_or(std::string());
    // x86 and 32-bit ARM name the model; older ARM kernels name the board, MIPS its "cpu model".
    static constexpr std::array kNameFields = {"model name", "Hardware", "Processor", "cpu model"};
    for (const char* field : kNameFields) {
        if (auto name = CpuinfoValue(cpuinfo, field); name && !name->empty()) {
            m_strCPUName = std::move(*name);
            return;
        }
    }
    m_strCPUName = linux_kernel::Architecture();
}
