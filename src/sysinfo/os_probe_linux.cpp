#include "sysinfo/linux_kernel.h"
#include "sysinfo/linux_os_description.h"
#include "sysinfo/system_files.h"
#include "sysinfo/system_info.h"

void CSystemInfo::DetectOS() {
    m_strOS = "unknown";
    std::optional<std::string> osRelease = sysfiles::ReadSystemFile("/etc/os-release");
    if (!osRelease) {
        osRelease = sysfiles::ReadSystemFile("/usr/lib/os-release");
    }
    const std::string release = linux_kernel::Release();
    const std::string name = DistributionName(osRelease.value_or(std::string()));
    if (name.empty() && release.empty()) {
        return;
    }
    m_dwMajorVersion = KernelMajorVersion(release);
    m_strOS = DescribeLinux(name, linux_kernel::Architecture(), release);
}

bool CSystemInfo::PlatformIsNtFamily() {
    return false;
}
