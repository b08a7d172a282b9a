#include <gtest/gtest.h>

#include <optional>
#include <string>

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

// The same with the feature release and update revision of the registry.
WindowsVersionFacts Released(WindowsVersionFacts facts, std::string displayVersion,
                             std::optional<uint32_t> updateRevision, std::string releaseId = {}) {
    facts.displayVersion = std::move(displayVersion);
    facts.updateRevision = updateRevision;
    facts.releaseId = std::move(releaseId);
    return facts;
}

constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kDomainController = 2;
constexpr uint8_t kServer = 3;
constexpr uint16_t kX86 = 0;
constexpr uint16_t kItanium = 6;
constexpr uint16_t kX64 = 9;
constexpr uint16_t kArm64 = 12;

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
        {"version unknown", Nt(11, 0, kWorkstation, kX64, 30000), "Microsoft  (build 30000)"},
        {"nt 4 counts with the 9x line", Nt(4, 0, kWorkstation, kX86, 1381, "Service Pack 6"),
         "Windows 95 Service Pack 6"},
        {"9x minor version unknown", win9x, "unknown A "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeWindowsVersion(c.facts), c.expected) << c.label;
    }
}

TEST(DescribeWindowsVersion, NamesEverySystemSinceWindows8) {
    const Case cases[] = {
        {"8 pro", Nt(6, 2, kWorkstation, kX64, 9200, {}, 0x30),
         "Microsoft Windows 8 Pro, 64-bit (build 9200)"},
        {"8.1 plain edition", Released(Nt(6, 3, kWorkstation, kX86, 9600, {}, 0x65), {}, 21620),
         "Microsoft Windows 8.1, 32-bit (build 9600.21620)"},
        {"server 2012 core", Nt(6, 2, kServer, kX64, 9200, {}, 0x0D),
         "Microsoft Windows Server 2012 Standard (core installation), 64-bit (build 9200)"},
        {"server 2012 r2", Nt(6, 3, kServer, kX64, 9600, {}, 0x08),
         "Microsoft Windows Server 2012 R2 Datacenter, 64-bit (build 9600)"},
        {"10 release id only", Released(Nt(10, 0, kWorkstation, kX64, 18363, {}, 0x65), {}, 1556, "1909"),
         "Microsoft Windows 10 Home 1909, 64-bit (build 18363.1556)"},
        {"10 display version first",
         Released(Nt(10, 0, kWorkstation, kX86, 19044, {}, 0x04), "21H2", 1288, "2009"),
         "Microsoft Windows 10 Enterprise 21H2, 32-bit (build 19044.1288)"},
        {"10 last build", Nt(10, 0, kWorkstation, kX64, 21999, {}, 0x30),
         "Microsoft Windows 10 Pro, 64-bit (build 21999)"},
        {"11 first build", Released(Nt(10, 0, kWorkstation, kX64, 22000, {}, 0x79), "21H2", 3260),
         "Microsoft Windows 11 Education 21H2, 64-bit (build 22000.3260)"},
        {"11 pro", Released(Nt(10, 0, kWorkstation, kX64, 22631, {}, 0x30), "23H2", 4460),
         "Microsoft Windows 11 Pro 23H2, 64-bit (build 22631.4460)"},
        {"11 without update revision", Released(Nt(10, 0, kWorkstation, kX64, 26100, {}, 0xA1), "24H2", {}),
         "Microsoft Windows 11 Pro for Workstations 24H2, 64-bit (build 26100)"},
        {"11 on arm64", Released(Nt(10, 0, kWorkstation, kArm64, 26100, {}, 0xBC), "24H2", 2314),
         "Microsoft Windows 11 IoT Enterprise 24H2, ARM64 (build 26100.2314)"},
        {"edition unknown to 10", Nt(10, 0, kWorkstation, kX64, 18362, {}, 28),
         "Microsoft Windows 10, 64-bit (build 18362)"},
        {"release not a name", Released(Nt(10, 0, kWorkstation, kX64, 22631), "23H2\r\nOS: x", 4460, "2009"),
         "Microsoft Windows 11 2009, 64-bit (build 22631.4460)"},
        {"server 2016", Released(Nt(10, 0, kServer, kX64, 14393, {}, 0x07), {}, 7515, "1607"),
         "Microsoft Windows Server 2016 Standard 1607, 64-bit (build 14393.7515)"},
        {"server 2019 core", Released(Nt(10, 0, kServer, kX64, 17763, {}, 0x0C), {}, 6532, "1809"),
         "Microsoft Windows Server 2019 Datacenter (core installation) 1809, 64-bit (build 17763.6532)"},
        {"server 2022", Released(Nt(10, 0, kServer, kX64, 20348, {}, 0x08), "21H2", 2849, "2009"),
         "Microsoft Windows Server 2022 Datacenter 21H2, 64-bit (build 20348.2849)"},
        {"server 2025 domain controller",
         Released(Nt(10, 0, kDomainController, kX64, 26100, {}, 0x07), "24H2", 2314),
         "Microsoft Windows Server 2025 Standard 24H2, 64-bit (build 26100.2314)"},
        {"server between releases", Released(Nt(10, 0, kServer, kX64, 25398, {}, 0x0C), "23H2", 1251),
         "Microsoft Windows Server Datacenter (core installation) 23H2, 64-bit (build 25398.1251)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeWindowsVersion(c.facts), c.expected) << c.label;
    }
}

}  // namespace
