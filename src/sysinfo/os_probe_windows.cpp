#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/registry.h"
#include "platform/system_function_windows.h"
#include "platform/wide_text_windows.h"
#include "sysinfo/system_info.h"
#include "sysinfo/windows_os_name.h"

namespace {

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// A release name is a few characters; a longer value is none.
constexpr std::size_t kMaxReleaseBytes = 32;

template <typename Function>
Function Kernel32Function(const char* name) {
    return platform::SystemFunction<Function>(L"kernel32.dll", name);
}

std::optional<uint16_t> ArchitectureOfMachine(USHORT machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_AMD64:
            return PROCESSOR_ARCHITECTURE_AMD64;
        case IMAGE_FILE_MACHINE_ARM64:
            return PROCESSOR_ARCHITECTURE_ARM64;
        case IMAGE_FILE_MACHINE_I386:
            return PROCESSOR_ARCHITECTURE_INTEL;
        case IMAGE_FILE_MACHINE_ARMNT:
            return PROCESSOR_ARCHITECTURE_ARM;
        case IMAGE_FILE_MACHINE_IA64:
            return PROCESSOR_ARCHITECTURE_IA64;
        default:
            return std::nullopt;
    }
}

uint16_t NativeArchitecture() {
    // An x64 program on ARM64 runs emulated, and even the native system information describes the
    // emulated processor to it; only IsWow64Process2 names the machine beneath.
    if (const auto isWow64Process2 = Kernel32Function<decltype(&IsWow64Process2)>("IsWow64Process2")) {
        USHORT process = IMAGE_FILE_MACHINE_UNKNOWN;
        USHORT native = IMAGE_FILE_MACHINE_UNKNOWN;
        if (isWow64Process2(GetCurrentProcess(), &process, &native)) {
            if (const std::optional<uint16_t> architecture = ArchitectureOfMachine(native)) {
                return *architecture;
            }
        }
    }
    // A 32-bit program on a 64-bit system must not report the emulated x86 processor.
    SYSTEM_INFO system{};
    if (const auto getNative = Kernel32Function<decltype(&GetNativeSystemInfo)>("GetNativeSystemInfo")) {
        getNative(&system);
    } else {
        GetSystemInfo(&system);
    }
    return system.wProcessorArchitecture;
}

uint32_t EditionCode(uint32_t majorVersion, uint32_t minorVersion) {
    const auto getProductInfo = Kernel32Function<decltype(&GetProductInfo)>("GetProductInfo");
    DWORD code = 0;
    if (getProductInfo == nullptr || !getProductInfo(majorVersion, minorVersion, 0, 0, &code)) {
        return 0;
    }
    return code;
}

std::string TextValue(const platform::RegistryKey& key, std::string_view name) {
    platform::RegValue value;
    if (key.QueryValue(name, kMaxReleaseBytes, value) != platform::RegResult::Success ||
        value.type != platform::RegType::Sz) {
        return {};
    }
    return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), uint8_t{0}));
}

std::optional<uint32_t> DwordValue(const platform::RegistryKey& key, std::string_view name) {
    platform::RegValue value;
    if (key.QueryValue(name, sizeof(uint32_t), value) != platform::RegResult::Success ||
        value.type != platform::RegType::Dword || value.data.size() != sizeof(uint32_t)) {
        return std::nullopt;
    }
    return value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
           static_cast<uint32_t>(value.data[3]) << 24;
}

// From the 64-bit view: on a 64-bit system the 32-bit view's copy of the key need not hold them.
void ReadFeatureRelease(WindowsVersionFacts& facts) {
    std::unique_ptr<platform::RegistryKey> key;
    if (platform::SystemRegistry().OpenKey(platform::RegRoot::LocalMachine64, kCurrentVersionKey,
                                           platform::RegAccess::Read, key) != platform::RegResult::Success) {
        return;
    }
    facts.displayVersion = TextValue(*key, "DisplayVersion");
    facts.releaseId = TextValue(*key, "ReleaseId");
    facts.updateRevision = DwordValue(*key, "UBR");
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
    if (facts.majorVersion >= 6) {
        facts.editionCode = EditionCode(facts.majorVersion, facts.minorVersion);
    }
    if (facts.majorVersion > 6 || (facts.majorVersion == 6 && facts.minorVersion >= 2)) {
        ReadFeatureRelease(facts);
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
