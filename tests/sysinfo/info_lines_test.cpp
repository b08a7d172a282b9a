#include <gtest/gtest.h>

#include "sysinfo/info_lines.h"

namespace {

// The format comes from the language library: only its first two conversions are filled. The
// graphics and driver lines are the graphics probes' test.
TEST(InfoLines, MemoryLineFillsOnlyTheNumbersOfItsFormat) {
    const uint64_t phys = 8ULL << 30;
    const uint64_t pageFile = (12ULL << 30) + (512ULL << 10);
    EXPECT_EQ(FormatMemoryLine("%.1f | %d %s %.2lf %% %.2lf", phys, pageFile),
              "8192.0 | %d %s 12288.50 %% %.2lf");
}

}  // namespace
