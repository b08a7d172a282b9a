#include <gtest/gtest.h>

#include "helpers/fake_system_root.h"
#include "sysinfo/system_info.h"

namespace {

void WriteKernel(const FakeSystemRoot& root, const char* release, const char* arch) {
    root.WriteFile("/proc/sys/kernel/osrelease", std::string(release) + "\n");
    root.WriteFile("/proc/sys/kernel/arch", std::string(arch) + "\n");
}

TEST(DetectOS, NamesDistributionBitnessAndKernel) {
    struct Case {
        const char* label;
        const char* etcOsRelease;  // null: no file
        const char* usrOsRelease;
        const char* arch;
        const char* expected;
    };
    const Case cases[] = {
        {"an empty pretty name, then name and version",
         "PRETTY_NAME=\"\"\nNAME=Fedora\nVERSION='39 (Workstation Edition)'\n", nullptr, "aarch64",
         "Fedora 39 (Workstation Edition), 64-bit (kernel 6.1.0-18-amd64)"},
        {"pretty name before name, escapes and comments",
         "# comment\nNAME=Other\nPRETTY_NAME=\"A \\\"quoted\\\" \\$name\" # trailing\n", nullptr, "armv7l",
         "A \"quoted\" $name, 32-bit (kernel 6.1.0-18-amd64)"},
        {"only the vendor's copy", nullptr, "PRETTY_NAME=\"Arch Linux\"\n", "x86_64",
         "Arch Linux, 64-bit (kernel 6.1.0-18-amd64)"},
        {"no os-release, unknown architecture", nullptr, nullptr, "e2k", "Linux (kernel 6.1.0-18-amd64)"},
    };
    for (const Case& c : cases) {
        FakeSystemRoot root;
        WriteKernel(root, "6.1.0-18-amd64", c.arch);
        if (c.etcOsRelease) {
            root.WriteFile("/etc/os-release", c.etcOsRelease);
        }
        if (c.usrOsRelease) {
            root.WriteFile("/usr/lib/os-release", c.usrOsRelease);
        }
        CSystemInfo info;
        info.DetectOS();
        EXPECT_EQ(info.m_strOS, c.expected) << c.label;
        EXPECT_EQ(info.m_dwMajorVersion, 6u) << c.label;
    }
    FakeSystemRoot nothing;
    CSystemInfo info;
    info.CollectAll();
    EXPECT_EQ(info.m_strOS, "unknown");
    EXPECT_EQ(info.m_dwMajorVersion, 0u);
    EXPECT_EQ(info.m_strCPUName, "");
    EXPECT_EQ(info.m_ullTotalPhys, 0u);
}

// One processor's block as a 64-bit ARM kernel writes it: ids only, no name.
std::string Arm64Core(const char* implementer, const char* part) {
    return std::string("processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: ") + implementer +
           "\nCPU architecture: 8\nCPU variant\t: 0x1\nCPU part\t: " + part + "\nCPU revision\t: 1\n\n";
}

TEST(DetectCPU, TakesTheFirstNameTheArchitectureGives) {
    struct Case {
        const char* label;
        std::string cpuinfo;
        const char* expected;
    };
    const Case cases[] = {
        {"x86, first processor, stored as found",
         "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t:  Core i7 \n\n"
         "processor\t: 1\nmodel name\t: x\n",
         " Core i7 "},
        {"older ARM kernel", "Processor\t: ARMv6-compatible processor rev 7 (v6l)\nHardware\t: BCM2708\n",
         "BCM2708"},
        {"big and little cores, each kind once",
         Arm64Core("0x41", "0xd05") + Arm64Core("0x41", "0xd05") + Arm64Core("0x41", "0xd0b"),
         "ARM Cortex-A55, ARM Cortex-A76"},
        {"a maker's core newer than the table", Arm64Core("0x51", "0xfff"), "Qualcomm part 0xfff"},
        {"unknown maker", Arm64Core("0x99", "0x001"), "aarch64"},
    };
    for (const Case& c : cases) {
        FakeSystemRoot root;
        WriteKernel(root, "6.1.0", "aarch64");
        root.WriteFile("/proc/cpuinfo", c.cpuinfo);
        CSystemInfo info;
        info.DetectCPU();
        EXPECT_EQ(info.m_strCPUName, c.expected) << c.label;
    }
}

}  // namespace
