#include "sysinfo/linux_kernel.h"

#include <sys/utsname.h>

#include "sysinfo/system_files.h"

namespace linux_kernel {

namespace {

template <typename Field>
std::string ProcOrUname(const char* procFile, Field field) {
    std::string text = sysfiles::ReadSystemLine(procFile);
    if (text.empty() && !sysfiles::HasSystemRoot()) {
        utsname names{};
        if (uname(&names) == 0) {
            text = field(names);
        }
    }
    return text;
}

}  // namespace

std::string Release() {
    return ProcOrUname("/proc/sys/kernel/osrelease", [](const utsname& names) { return names.release; });
}

std::string Architecture() {
    return ProcOrUname("/proc/sys/kernel/arch", [](const utsname& names) { return names.machine; });
}

}  // namespace linux_kernel
