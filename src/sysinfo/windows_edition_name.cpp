#include "sysinfo/windows_edition_name.h"

#include <array>

namespace {

struct VistaEdition {
    uint32_t code;
    const char* name;
    bool knownToVista;
};

// Vista and 7 name their editions "... Edition"; Vista's naming predates the N editions. Support
// staff's tools know these texts, so they stay as they are.
constexpr std::array<VistaEdition, 22> kVistaEditions = {{
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

struct Edition {
    uint32_t code;
    const char* name;
    // Windows 8 and 8.1 call their plain edition by the system's name alone, where Windows 10 and
    // 11 call it Home; null where both name the edition alike.
    const char* nameOnWindows8;
};

// The editions of Windows 8 and later. The editions of Vista and 7 (Ultimate, Home Premium,
// Business, ...) are not among them: such a code from a newer system names no edition it has.
constexpr std::array<Edition, 36> kEditions = {{
    {0x04, "Enterprise", nullptr},
    {0x07, "Standard", nullptr},
    {0x08, "Datacenter", nullptr},
    {0x0C, "Datacenter (core installation)", nullptr},
    {0x0D, "Standard (core installation)", nullptr},
    {0x1B, "Enterprise N", nullptr},
    {0x30, "Pro", nullptr},
    {0x31, "Pro N", nullptr},
    {0x48, "Enterprise Evaluation", nullptr},
    {0x4F, "Standard Evaluation", nullptr},
    {0x50, "Datacenter Evaluation", nullptr},
    {0x54, "Enterprise N Evaluation", nullptr},
    {0x62, "Home N", "N"},
    {0x63, "Home China", "China"},
    {0x64, "Home Single Language", "Single Language"},
    {0x65, "Home", ""},
    {0x67, "Pro with Media Center", nullptr},
    {0x79, "Education", nullptr},
    {0x7A, "Education N", nullptr},
    {0x7D, "Enterprise LTSC", nullptr},
    {0x7E, "Enterprise N LTSC", nullptr},
    {0x8A, "Pro Single Language", nullptr},
    {0x8B, "Pro China", nullptr},
    {0x91, "Datacenter (core installation)", nullptr},
    {0x92, "Standard (core installation)", nullptr},
    {0x9F, "Datacenter Evaluation (core installation)", nullptr},
    {0xA0, "Standard Evaluation (core installation)", nullptr},
    {0xA1, "Pro for Workstations", nullptr},
    {0xA2, "Pro for Workstations N", nullptr},
    {0xA4, "Pro Education", nullptr},
    {0xA5, "Pro Education N", nullptr},
    {0xAF, "Enterprise multi-session", nullptr},
    {0xBC, "IoT Enterprise", nullptr},
    {0xBF, "IoT Enterprise LTSC", nullptr},
    {0x197, "Datacenter: Azure Edition", nullptr},
    {0x198, "Datacenter: Azure Edition (core installation)", nullptr},
}};

}  // namespace

std::string_view WindowsEditionName(uint32_t code, uint32_t majorVersion, uint32_t minorVersion) {
    if (majorVersion == 6 && minorVersion <= 1) {
        const bool vista = minorVersion == 0;
        for (const VistaEdition& edition : kVistaEditions) {
            if (edition.code == code && (edition.knownToVista || !vista)) {
                return edition.name;
            }
        }
        return {};
    }
    const bool windows8 = majorVersion == 6;
    for (const Edition& edition : kEditions) {
        if (edition.code == code) {
            return windows8 && edition.nameOnWindows8 != nullptr ? edition.nameOnWindows8 : edition.name;
        }
    }
    return {};
}
