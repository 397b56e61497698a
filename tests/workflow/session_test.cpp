#include "workflow/session.h"

#include <gtest/gtest.h>

#include "tests/workflow/session_fixture.h"

namespace vorthal {
namespace {

TEST(Session, StartsWithNoScanRunningAndReadsFragmentsFromTheSource) {
    fixtures::SyntheticImage image(64);
    image.At(40)[0] = 0xAB;
    auto session = fixtures::SessionOver(image.bytes());
    EXPECT_TRUE(session->scanStopped);
    EXPECT_FALSE(session->ContentFileMode());
    std::uint8_t sector[kSectorSize] = {};
    ASSERT_TRUE(session->ReadFragmentSectors(32, 8, 1, sector));
    EXPECT_EQ(sector[0], 0xAB);
}

TEST(Session, AReadRunningPastTheEndOfTheSourceFails) {
    auto session = fixtures::SessionOver(fixtures::SyntheticImage(64).bytes());
    std::vector<std::uint8_t> page(kPageSize);
    EXPECT_FALSE(session->ReadFragmentSectors(56, 0, 16, page.data()));
}

} // namespace
} // namespace vorthal
