#include <gtest/gtest.h>

#include "sysinfo/windows_os_name.h"

namespace {

// A 64-bit NT system; the edition is the one a query of the system gives. The program is x64 and
// needs BCrypt, so nothing older than a 64-bit Vista starts it.
WindowsVersionFacts Nt(uint32_t minor, uint32_t build, uint32_t edition, std::string servicePack = {}) {
    WindowsVersionFacts facts;
    facts.platformId = WindowsVersionFacts::kPlatformNt;
    facts.majorVersion = 6;
    facts.minorVersion = minor;
    facts.productType = WindowsVersionFacts::kWorkstation;
    facts.architecture = WindowsVersionFacts::kArchitectureX64;
    facts.buildNumber = build;
    facts.editionCode = edition;
    facts.servicePack = std::move(servicePack);
    return facts;
}

TEST(DescribeWindowsVersion, NamesEverySystemTheProgramStartsOn) {
    const struct {
        const char* label;
        WindowsVersionFacts facts;
        const char* expected;
    } cases[] = {
        {"7 home premium", Nt(1, 7601, 3, "Service Pack 1"),
         "Microsoft Windows 7 Home Premium Edition, 64-bit Service Pack 1 (build 7601)"},
        {"vista without N editions", Nt(0, 6002, 26), "Microsoft Windows Vista , 64-bit (build 6002)"},
        {"7 with an N edition", Nt(1, 7600, 27),
         "Microsoft Windows 7 Enterprise N Edition, 64-bit (build 7600)"},
        {"8 and later report 6.2", Nt(2, 9200, 0), "Microsoft  (build 9200)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeWindowsVersion(c.facts), c.expected) << c.label;
    }
}

}  // namespace
