#include <charconv>
#include <string_view>

#include "sysinfo/system_files.h"
#include "sysinfo/system_info.h"
#include "text/text_lines.h"

namespace {

// The kB figure of one /proc/meminfo line, in bytes; 0 when the line is missing.
uint64_t MeminfoBytes(std::string_view meminfo, std::string_view field) {
    for (std::string_view line : TextLines(meminfo)) {
        if (line.size() <= field.size() || line.substr(0, field.size()) != field ||
            line[field.size()] != ':') {
            continue;
        }
        line.remove_prefix(field.size() + 1);
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        uint64_t kibibytes = 0;
        std::from_chars(line.data(), line.data() + line.size(), kibibytes);
        return kibibytes * 1024;
    }
    return 0;
}

}  // namespace

void CSystemInfo::DetectMemory() {
    const std::string meminfo = sysfiles::ReadSystemFile("/proc/meminfo").value_or(std::string());
    m_ullTotalPhys = MeminfoBytes(meminfo, "MemTotal");
    // What Windows calls the page-file total is the commit limit: memory and swap together.
    m_ullTotalPageFile = m_ullTotalPhys + MeminfoBytes(meminfo, "SwapTotal");
}
