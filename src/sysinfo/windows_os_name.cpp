#include "sysinfo/windows_os_name.h"

#include <array>
#include <string_view>

namespace {

constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteBlade = 0x0400;
constexpr uint16_t kSuiteStorageServer = 0x2000;
constexpr uint16_t kSuiteComputeServer = 0x4000;

struct Edition {
    uint32_t code;
    const char* name;
    bool knownToVista;
};

// The platform's PRODUCT_* codes; Vista's naming predates the N editions.
constexpr std::array<Edition, 22> kEditions = {{
    {1, "Ultimate Edition", true},
    {2, "Home Basic Edition", true},
    {3, "Home Premium Edition", true},
    {4, "Enterprise Edition", true},
    {5, "Home Basic N Edition", false},
    {6, "Business Edition", true},
    {7, "Standard Edition", true},
    {8, "Datacenter Edition", true},
    {9, "Small Business Server", true},
    {10, "Enterprise Edition", true},
    {11, "Starter Edition", true},
    {12, "Datacenter Edition (core installation)", true},
    {13, "Standard Edition (core installation)", true},
    {14, "Enterprise Edition (core installation)", true},
    {15, "Enterprise Edition for Itanium-based Systems", true},
    {16, "Business N Edition", false},
    {17, "Web Server Edition", true},
    {18, "Cluster Server Edition", true},
    {25, "Small Business Server Premium Edition", true},
    {26, "Home Premium N Edition", false},
    {27, "Enterprise N Edition", false},
    {28, "Ultimate N Edition", false},
}};

std::string_view EditionName(uint32_t code, bool vista) {
    for (const Edition& edition : kEditions) {
        if (edition.code == code && (edition.knownToVista || !vista)) {
            return edition.name;
        }
    }
    return {};
}

std::string_view Bitness(uint16_t architecture) {
    switch (architecture) {
        case WindowsVersionFacts::kArchitectureX64:
            return ", 64-bit";
        case WindowsVersionFacts::kArchitectureX86:
            return ", 32-bit";
        default:
            return {};
    }
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
        name.append(EditionName(facts.editionCode, minor == 0)).append(Bitness(facts.architecture));
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
    return line + " (build " + std::to_string(static_cast<int32_t>(facts.buildNumber)) + ")";
}
