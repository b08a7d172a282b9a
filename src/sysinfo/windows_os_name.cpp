#include "sysinfo/windows_os_name.h"

#include <initializer_list>
#include <string_view>

#include "sysinfo/windows_edition_name.h"

namespace {

constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteBlade = 0x0400;
constexpr uint16_t kSuiteStorageServer = 0x2000;
constexpr uint16_t kSuiteComputeServer = 0x4000;

// Vista and 7 never run on ARM64, so their texts are as they always were.
std::string_view Bitness(uint16_t architecture) {
    switch (architecture) {
        case WindowsVersionFacts::kArchitectureX64:
            return ", 64-bit";
        case WindowsVersionFacts::kArchitectureX86:
            return ", 32-bit";
        case WindowsVersionFacts::kArchitectureArm64:
            return ", ARM64";
        default:
            return {};
    }
}

// The system from Windows 8 on; empty for a version it does not know. A server of version 10.0 is
// named by its build, which stays the same for the life of each release; a build that is none of
// theirs (an interim release, a preview) is still a server.
std::string_view SystemSinceWindows8(const WindowsVersionFacts& facts) {
    const bool workstation = facts.productType == WindowsVersionFacts::kWorkstation;
    if (facts.majorVersion == 6 && facts.minorVersion == 2) {
        return workstation ? "Windows 8" : "Windows Server 2012";
    }
    if (facts.majorVersion == 6 && facts.minorVersion == 3) {
        return workstation ? "Windows 8.1" : "Windows Server 2012 R2";
    }
    if (facts.majorVersion != 10 || facts.minorVersion != 0) {
        return {};
    }
    if (workstation) {
        return facts.buildNumber < 22000 ? "Windows 10" : "Windows 11";
    }
    switch (facts.buildNumber) {
        case 14393:
            return "Windows Server 2016";
        case 17763:
            return "Windows Server 2019";
        case 20348:
            return "Windows Server 2022";
        case 26100:
            return "Windows Server 2025";
        default:
            return "Windows Server";
    }
}

// A release is a short name such as "23H2" or "1909"; anything else in the registry is not one, and
// must not break the line it would go into.
bool IsReleaseName(std::string_view text) {
    return !text.empty() &&
           text.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") ==
               std::string_view::npos;
}

std::string_view FeatureRelease(const WindowsVersionFacts& facts) {
    if (IsReleaseName(facts.displayVersion)) {
        return facts.displayVersion;
    }
    return IsReleaseName(facts.releaseId) ? facts.releaseId : std::string_view();
}

std::string NameSinceWindows8(const WindowsVersionFacts& facts) {
    std::string name(SystemSinceWindows8(facts));
    if (name.empty()) {
        return name;
    }
    for (const std::string_view part :
         {WindowsEditionName(facts.editionCode, facts.majorVersion, facts.minorVersion),
          FeatureRelease(facts)}) {
        if (!part.empty()) {
            name.append(" ").append(part);
        }
    }
    return name.append(Bitness(facts.architecture));
}

std::string_view Server2003Edition(const WindowsVersionFacts& facts) {
    const bool datacenter = facts.suiteMask & kSuiteDatacenter;
    const bool enterprise = facts.suiteMask & kSuiteEnterprise;
    switch (facts.architecture) {
        case WindowsVersionFacts::kArchitectureItanium:
            return datacenter   ? "Datacenter Edition for Itanium-based Systems"
                   : enterprise ? "Enterprise Edition for Itanium-based Systems"
                                : "";
        case WindowsVersionFacts::kArchitectureX64:
            return datacenter   ? "Datacenter x64 Edition"
                   : enterprise ? "Enterprise x64 Edition"
                                : "Standard x64 Edition";
        default:
            if (facts.suiteMask & kSuiteComputeServer) {
                return "Compute Cluster Edition";
            }
            return datacenter                             ? "Datacenter Edition"
                   : enterprise                           ? "Enterprise Edition"
                   : (facts.suiteMask & kSuiteBlade) != 0 ? "Web Edition"
                                                          : "Standard Edition";
    }
}

// The product part of an NT system from Windows 2000 on; empty for versions it does not know.
std::string NtProductName(const WindowsVersionFacts& facts) {
    const bool workstation = facts.productType == WindowsVersionFacts::kWorkstation;
    const uint32_t major = facts.majorVersion;
    const uint32_t minor = facts.minorVersion;
    std::string name;
    if (major == 6 && (minor == 1 || minor == 0)) {
        name = minor == 1 ? "Windows 7 " : workstation ? "Windows Vista " : "Windows Server 2008 ";
        name.append(WindowsEditionName(facts.editionCode, major, minor)).append(Bitness(facts.architecture));
    } else if (major >= 6) {
        name = NameSinceWindows8(facts);
    } else if (major == 5 && minor == 2) {
        if (facts.serverR2 != 0) {
            name = "Windows Server 2003 R2, ";
        } else if (facts.suiteMask == kSuiteStorageServer) {
            name = "Windows Storage Server 2003";
        } else if (workstation && facts.architecture == WindowsVersionFacts::kArchitectureX64) {
            name = "Windows XP Professional x64 Edition";
        } else {
            name = "Windows Server 2003, ";
        }
        if (!workstation) {
            name.append(Server2003Edition(facts));
        }
    } else if (major == 5 && minor == 1) {
        name = (facts.suiteMask & kSuitePersonal) ? "Windows XP Home Edition" : "Windows XP Professional";
    } else if (major == 5 && minor == 0) {
        name = "Windows 2000 ";
        name += workstation                                 ? "Professional"
                : (facts.suiteMask & kSuiteDatacenter) != 0 ? "Datacenter Server"
                : (facts.suiteMask & kSuiteEnterprise) != 0 ? "Advanced Server"
                                                            : "Server";
    }
    return name;
}

}  // namespace

std::string DescribeWindowsVersion(const WindowsVersionFacts& facts) {
    if (facts.platformId != WindowsVersionFacts::kPlatformNt || facts.majorVersion <= 4) {
        std::string line = facts.minorVersion == 0    ? "Windows 95 "
                           : facts.minorVersion == 10 ? "Windows 98 "
                           : facts.minorVersion == 90 ? "Windows ME "
                                                      : "unknown";
        return line + facts.servicePack;
    }
    std::string line = "Microsoft " + NtProductName(facts);
    if (!facts.servicePack.empty()) {
        line.append(" ").append(facts.servicePack);
    }
    line.append(" (build ").append(std::to_string(static_cast<int32_t>(facts.buildNumber)));
    if (facts.updateRevision) {
        line.append(".").append(std::to_string(*facts.updateRevision));
    }
    return line + ")";
}
