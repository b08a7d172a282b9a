#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What Windows tells about itself, gathered by the Windows probe and named by
// DescribeWindowsVersion.
struct WindowsVersionFacts {
    static constexpr uint32_t kPlatformNt = 2;
    static constexpr uint8_t kWorkstation = 1;
    static constexpr uint16_t kArchitectureX86 = 0;
    static constexpr uint16_t kArchitectureItanium = 6;
    static constexpr uint16_t kArchitectureX64 = 9;
    static constexpr uint16_t kArchitectureArm64 = 12;

    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;
    uint32_t platformId = 0;
    std::string servicePack;
    uint16_t suiteMask = 0;
    uint8_t productType = 0;
    // The processor architecture of the system, not of the program (an x64 program on ARM64 runs
    // emulated).
    uint16_t architecture = 0;
    // The edition code of version 6.0 and later.
    uint32_t editionCode = 0;
    // The SM_SERVERR2 metric of version 5.2.
    int serverR2 = 0;
    // The feature release and update revision of version 6.2 and later, as the registry keeps them:
    // DisplayVersion ("23H2"), the older ReleaseId ("1909") and UBR.
    std::string displayVersion;
    std::string releaseId;
    std::optional<uint32_t> updateRevision;
};
