#include <gtest/gtest.h>

#include "sysinfo/info_lines.h"

namespace {

// The query's fields with their units; the registry's as they are stored. A query's date in its
// own form is the main window's case, empty fields the program's.
TEST(InfoLines, GraphicsAndDriverLinesFollowTheirSource) {
    GraphicsInfo registry;
    registry.m_strDescription = "Standard VGA";
    registry.m_strDriverVersion = "8.15.10.2702";
    registry.m_strDriverDate = "6-21-2006";
    EXPECT_EQ(FormatGraphicsLine(registry), "Standard VGA");
    EXPECT_EQ(FormatDriverLine(registry), "8.15.10.2702 (6-21-2006)");

    GraphicsInfo query = registry;
    query.m_bFromWMI = true;
    query.m_strDriverDate = "";
    query.m_nAdapterRAM = 1536ULL << 10;
    query.m_nHorzRes = 2560;
    query.m_nVertRes = 1440;
    query.m_nBitsPerPixel = 32;
    EXPECT_EQ(FormatGraphicsLine(query), "Standard VGA (1.50 MB) (2560 x 1440 32 Bit)");
    EXPECT_EQ(FormatDriverLine(query), "8.15.10.2702 (..)");
}

// The format comes from the language library: only its first two conversions are filled.
TEST(InfoLines, MemoryLineFillsOnlyTheNumbersOfItsFormat) {
    const uint64_t phys = 8ULL << 30;
    const uint64_t pageFile = (12ULL << 30) + (512ULL << 10);
    EXPECT_EQ(FormatMemoryLine("%.1f | %d %s %.2lf %% %.2lf", phys, pageFile),
              "8192.0 | %d %s 12288.50 %% %.2lf");
}

}  // namespace
