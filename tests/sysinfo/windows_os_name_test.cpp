#include <gtest/gtest.h>

#include "sysinfo/windows_os_name.h"

namespace {

struct Case {
    const char* label;
    WindowsVersionFacts facts;
    const char* expected;
};

// An NT system; the edition, suite and R2 mark are those a query of the system gives.
WindowsVersionFacts Nt(uint32_t major, uint32_t minor, uint8_t productType, uint16_t architecture,
                       uint32_t build, std::string servicePack = {}, uint32_t edition = 0, uint16_t suite = 0,
                       int serverR2 = 0) {
    WindowsVersionFacts facts;
    facts.platformId = WindowsVersionFacts::kPlatformNt;
    facts.majorVersion = major;
    facts.minorVersion = minor;
    facts.productType = productType;
    facts.architecture = architecture;
    facts.buildNumber = build;
    facts.servicePack = std::move(servicePack);
    facts.editionCode = edition;
    facts.suiteMask = suite;
    facts.serverR2 = serverR2;
    return facts;
}

constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kServer = 3;
constexpr uint16_t kX86 = 0;
constexpr uint16_t kItanium = 6;
constexpr uint16_t kX64 = 9;

TEST(DescribeWindowsVersion, NamesEverySystemTheProcedureKnows) {
    WindowsVersionFacts win9x = Nt(4, 3, kWorkstation, kX86, 0, " A ");
    win9x.platformId = 1;

    const Case cases[] = {
        {"7 home premium", Nt(6, 1, kWorkstation, kX64, 7601, "Service Pack 1", 3),
         "Microsoft Windows 7 Home Premium Edition, 64-bit Service Pack 1 (build 7601)"},
        {"7 on itanium", Nt(6, 1, kServer, kItanium, 7600, {}, 15),
         "Microsoft Windows 7 Enterprise Edition for Itanium-based Systems (build 7600)"},
        {"vista without N editions", Nt(6, 0, kWorkstation, kX64, 6002, {}, 26),
         "Microsoft Windows Vista , 64-bit (build 6002)"},
        {"7 with an N edition", Nt(6, 1, kWorkstation, kX86, 7600, {}, 27),
         "Microsoft Windows 7 Enterprise N Edition, 32-bit (build 7600)"},
        {"xp x64", Nt(5, 2, kWorkstation, kX64, 3790, "Service Pack 2"),
         "Microsoft Windows XP Professional x64 Edition Service Pack 2 (build 3790)"},
        {"2003 r2 enterprise", Nt(5, 2, kServer, kX86, 3790, {}, 0, 0x2002, 1),
         "Microsoft Windows Server 2003 R2, Enterprise Edition (build 3790)"},
        {"storage server", Nt(5, 2, kServer, kX86, 3790, {}, 0, 0x2000),
         "Microsoft Windows Storage Server 2003Standard Edition (build 3790)"},
        {"2003 x64 datacenter", Nt(5, 2, kServer, kX64, 3790, {}, 0, 0x0080),
         "Microsoft Windows Server 2003, Datacenter x64 Edition (build 3790)"},
        {"2003 compute cluster", Nt(5, 2, kServer, kX86, 3790, {}, 0, 0x4080),
         "Microsoft Windows Server 2003, Compute Cluster Edition (build 3790)"},
        {"xp home", Nt(5, 1, kWorkstation, kX86, 2600, "Service Pack 3", 0, 0x0200),
         "Microsoft Windows XP Home Edition Service Pack 3 (build 2600)"},
        {"2000 advanced server", Nt(5, 0, kServer, kX86, 2195, {}, 0, 0x0002),
         "Microsoft Windows 2000 Advanced Server (build 2195)"},
        {"8 and later report 6.2", Nt(6, 2, kWorkstation, kX64, 9200), "Microsoft  (build 9200)"},
        {"nt 4 counts with the 9x line", Nt(4, 0, kWorkstation, kX86, 1381, "Service Pack 6"),
         "Windows 95 Service Pack 6"},
        {"9x minor version unknown", win9x, "unknown A "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeWindowsVersion(c.facts), c.expected) << c.label;
    }
}

}  // namespace
