#include <windows.h>

#include "platform/system_function_windows.h"
#include "platform/wide_text_windows.h"
#include "sysinfo/system_info.h"
#include "sysinfo/windows_os_name.h"

namespace {

template <typename Function>
Function Kernel32Function(const char* name) {
    return platform::SystemFunction<Function>(L"kernel32.dll", name);
}

uint16_t NativeArchitecture() {
    // A 32-bit program on a 64-bit system must not report the emulated x86 processor.
    SYSTEM_INFO system{};
    if (const auto getNative = Kernel32Function<decltype(&GetNativeSystemInfo)>("GetNativeSystemInfo")) {
        getNative(&system);
    } else {
        GetSystemInfo(&system);
    }
    return system.wProcessorArchitecture;
}

uint32_t EditionCode(uint32_t minorVersion) {
    const auto getProductInfo = Kernel32Function<decltype(&GetProductInfo)>("GetProductInfo");
    DWORD code = 0;
    if (getProductInfo == nullptr || !getProductInfo(6, minorVersion, 0, 0, &code)) {
        return 0;
    }
    return code;
}

}  // namespace

void CSystemInfo::DetectOS() {
    m_strOS = "unknown";
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        return;
    }
    m_dwMajorVersion = version.dwMajorVersion;

    WindowsVersionFacts facts;
    facts.majorVersion = version.dwMajorVersion;
    facts.minorVersion = version.dwMinorVersion;
    facts.buildNumber = version.dwBuildNumber;
    facts.platformId = version.dwPlatformId;
    facts.servicePack = platform::Utf8FromWide(version.szCSDVersion);
    facts.suiteMask = version.wSuiteMask;
    facts.productType = version.wProductType;
    facts.architecture = NativeArchitecture();
    if (facts.majorVersion == 6 && (facts.minorVersion == 0 || facts.minorVersion == 1)) {
        facts.editionCode = EditionCode(facts.minorVersion);
    }
    if (facts.majorVersion == 5 && facts.minorVersion == 2) {
        facts.serverR2 = GetSystemMetrics(SM_SERVERR2);
    }
    m_strOS = DescribeWindowsVersion(facts);
}

bool CSystemInfo::PlatformIsNtFamily() {
    // The packed version word has its top bit set on Windows 95, 98 and ME only.
    return (GetVersion() & 0x80000000u) == 0;
}
