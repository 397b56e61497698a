#include "scan/gauge_percent.h"

#include <gtest/gtest.h>

namespace vorthal {
namespace {

TEST(RoundedPercent, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundedPercent(1, 8), 12);  // 12.5
    EXPECT_EQ(RoundedPercent(3, 8), 38);  // 37.5
    EXPECT_EQ(RoundedPercent(2, 3), 67);  // 66.67
    EXPECT_EQ(RoundedPercent(0, 0), 0);
}

// The scan moves the gauge only at these parts, so they must be exactly where the rounded
// percentage changes.
TEST(NextPercentPart, IsTheFirstPartWhoseRoundedPercentIsHigher) {
    for (std::int64_t whole = 1; whole <= 800; ++whole) {
        for (std::int64_t part = 0; part < whole; ++part) {
            const int percent = RoundedPercent(part, whole);
            std::int64_t next = part + 1;
            while (next < whole && RoundedPercent(next, whole) == percent) ++next;
            if (next < whole) ASSERT_EQ(NextPercentPart(percent, whole), next) << part << " of " << whole;
            else ASSERT_GE(NextPercentPart(percent, whole), whole) << part << " of " << whole;
        }
    }
}

} // namespace
} // namespace vorthal
