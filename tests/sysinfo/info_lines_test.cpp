#include <gtest/gtest.h>

#include "sysinfo/info_lines.h"

namespace {

GraphicsInfo FromQuery(uint64_t adapterRam, const std::string& date) {
    GraphicsInfo graphics;
    graphics.m_bFromWMI = true;
    graphics.m_strDescription = "Radeon";
    graphics.m_strDriverVersion = "23.20";
    graphics.m_strDriverDate = date;
    graphics.m_nAdapterRAM = adapterRam;
    graphics.m_nHorzRes = 2560;
    graphics.m_nVertRes = 1440;
    graphics.m_nBitsPerPixel = 32;
    return graphics;
}

TEST(InfoLines, GraphicsAndDriverLinesFollowTheirSource) {
    GraphicsInfo registry;
    registry.m_strDescription = "Standard VGA";
    registry.m_strDriverVersion = "8.15.10.2702";
    registry.m_strDriverDate = "6-21-2006";
    struct Case {
        GraphicsInfo graphics;
        const char* graphicsLine;
        const char* driverLine;
    };
    const Case cases[] = {
        {registry, "Standard VGA", "8.15.10.2702 (6-21-2006)"},
        {GraphicsInfo{}, "", " ()"},
        {FromQuery(3ULL << 30, "20150623000000.000000-000"), "Radeon (3072.00 MB) (2560 x 1440 32 Bit)",
         "23.20 (23.06.2015)"},
        {FromQuery(1536ULL << 10, ""), "Radeon (1.50 MB) (2560 x 1440 32 Bit)", "23.20 (..)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatGraphicsLine(c.graphics), c.graphicsLine);
        EXPECT_EQ(FormatDriverLine(c.graphics), c.driverLine);
    }
}

// The format comes from the language library: only its first two conversions are filled.
TEST(InfoLines, MemoryLineFillsOnlyTheNumbersOfItsFormat) {
    const uint64_t phys = 8ULL << 30;
    const uint64_t pageFile = (12ULL << 30) + (512ULL << 10);
    EXPECT_EQ(FormatMemoryLine("%.1f | %d %s %.2lf %% %.2lf", phys, pageFile),
              "8192.0 | %d %s 12288.50 %% %.2lf");
}

}  // namespace
