#include <gtest/gtest.h>

#include <algorithm>

#include "disk/sector_access.h"
#include "tests/fixtures/memory_sector_device.h"

namespace vorthal {
namespace {

using fixtures::MemoryDeviceOpener;
using fixtures::NumberedSectors;
using fixtures::SectorNumberIn;

constexpr std::uint8_t kUntouched = 0xEE;

class SectorAccessTest : public ::testing::Test {
  protected:
    void ChoosePath(const std::string& path, SectorNumber readBound) {
        state.isVolume = false;
        state.devicePath = path;
        state.readBound = readBound;
    }
    void ChooseVolume(int drive, SectorNumber readBound) {
        state.isVolume = true;
        state.driveNumber = drive;
        state.readBound = readBound;
    }
    // Reads count sectors at start into a buffer with room for count + 4 sectors; returns how
    // many sectors arrived in order, each the right one, and checks that nothing else was written.
    int SectorsRead(std::int32_t count, SectorNumber start, bool expectedResult = true) {
        std::vector<std::uint8_t> buffer((static_cast<std::size_t>(count) + 4) * 512, kUntouched);
        EXPECT_EQ(access.ReadSectors(count, buffer.data(), start), expectedResult);
        int arrived = 0;
        while (arrived < count + 4 && SectorNumberIn(buffer.data() + arrived * 512) == start + arrived)
            ++arrived;
        const auto written = std::find_if(buffer.begin() + arrived * 512, buffer.end(),
                                          [](std::uint8_t byte) { return byte != kUntouched; });
        EXPECT_EQ(written, buffer.end())
            << "byte " << (written - buffer.begin()) << " written behind the sectors read";
        return arrived;
    }

    DataSourceState state;
    MemoryDeviceOpener opener;
    SectorAccess access{state, opener};
};

struct ClampCase {
    const char* name;
    bool volume;
    SectorNumber readBound;
    SectorNumber start;
    std::int32_t count;
    int sectorsRead;
};

class ClampRule : public SectorAccessTest, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(ClampRule, ShortensRequestsAtTheEndOfTheSource) {
    const ClampCase& c = GetParam();
    opener.AddPath("disk", {NumberedSectors(1100), {}, 0});
    opener.AddVolume(3, {NumberedSectors(1100), {}, 0});
    if (c.volume)
        ChooseVolume(3, c.readBound);
    else
        ChoosePath("disk", c.readBound);
    EXPECT_EQ(SectorsRead(c.count, c.start), c.sectorsRead);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClampRule,
    ::testing::Values(ClampCase{"VolumeEndsWithSectorReadBound", true, 1000, 990, 16, 11},
                      ClampCase{"PathEndsBeforeSectorReadBound", false, 1000, 990, 16, 10},
                      ClampCase{"PathRequestEndingAtReadBoundPasses", false, 1000, 985, 16, 16},
                      ClampCase{"NoBoundNoClamp", false, 0, 1080, 16, 16},
                      ClampCase{"WellInsideUnchanged", true, 1000, 0, 16, 16},
                      ClampCase{"VolumeLastSectorAlone", true, 1000, 1000, 4, 1}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SectorAccessTest, RequestsWhollyBeyondTheBoundFailUntouched) {
    opener.AddPath("disk", {NumberedSectors(1100), {}, 0});
    opener.AddVolume(3, {NumberedSectors(1100), {}, 0});
    ChoosePath("disk", 1000);
    EXPECT_EQ(SectorsRead(16, 1000, false), 0);
    ChooseVolume(3, 1000);
    EXPECT_EQ(SectorsRead(16, 1001, false), 0);
}

TEST_F(SectorAccessTest, CountZeroSucceedsUntouched) {
    ChoosePath("absent", 0);
    EXPECT_EQ(SectorsRead(0, 5), 0);
    EXPECT_EQ(opener.OpenCount(), 0);
}

TEST_F(SectorAccessTest, NegativeCountOrStartFails) {
    opener.AddPath("disk", {NumberedSectors(64), {}, 0});
    ChoosePath("disk", 0);
    std::vector<std::uint8_t> buffer(512, kUntouched);
    EXPECT_FALSE(access.ReadSectors(-1, buffer.data(), 0));
    EXPECT_FALSE(access.ReadSectors(1, buffer.data(), -1));
    EXPECT_EQ(buffer[0], kUntouched);
}

TEST_F(SectorAccessTest, FailureInTheThirdPieceKeepsTheFirstTwoPieces) {
    opener.AddPath("disk", {NumberedSectors(400), {256}, 0});
    ChoosePath("disk", 400);
    EXPECT_EQ(SectorsRead(300, 0, false), 256);
}

TEST_F(SectorAccessTest, PieceRunningPastTheDeviceEndFailsAndEarlierPiecesStay) {
    opener.AddPath("image", {NumberedSectors(200), {}, 0});
    ChoosePath("image", 0);
    EXPECT_EQ(SectorsRead(300, 0, false), 128);
}

TEST_F(SectorAccessTest, RequestsLargerThanSixteenBitsAreReadWhole) {
    opener.AddPath("disk", {NumberedSectors(70000), {}, 0});
    ChoosePath("disk", 70000);
    EXPECT_EQ(SectorsRead(66000, 1000), 66000);
}

TEST_F(SectorAccessTest, DevicesReportingLargerSectorsStillMove512BytesPerSector) {
    opener.AddVolume(2, {NumberedSectors(64), {}, 2048});
    ChooseVolume(2, 0);
    EXPECT_EQ(SectorsRead(4, 8), 4);
    EXPECT_EQ(access.VolumeLayer().SectorSize(), 2048u);
    EXPECT_EQ(access.VolumeLayer().SectorShift(), 11);
    // A file reports no geometry, so the path layer keeps its own size.
    EXPECT_EQ(access.PathLayer().SectorSize(), 512u);
}

TEST_F(SectorAccessTest, SameDeviceIsOpenedOnceAndAnotherReplacesIt) {
    opener.AddVolume(1, {NumberedSectors(64), {}, 0});
    opener.AddVolume(2, {NumberedSectors(64), {}, 0});
    ChooseVolume(1, 0);
    EXPECT_EQ(SectorsRead(1, 0), 1);
    EXPECT_EQ(SectorsRead(1, 5), 1);
    EXPECT_EQ(opener.OpenCount(), 1);
    EXPECT_EQ(access.VolumeLayer().OpenedFor(), "1");
    ChooseVolume(2, 0);
    EXPECT_EQ(SectorsRead(1, 0), 1);
    EXPECT_EQ(opener.OpenCount(), 2);
    EXPECT_EQ(opener.LiveDevices(), 1) << "the first volume's handle must be closed";
}

TEST_F(SectorAccessTest, TheTwoLayersKeepTheirOwnDevices) {
    opener.AddVolume(1, {NumberedSectors(64), {}, 0});
    opener.AddPath("disk", {NumberedSectors(64), {}, 0});
    ChooseVolume(1, 0);
    EXPECT_EQ(SectorsRead(1, 0), 1);
    ChoosePath("disk", 0);
    EXPECT_EQ(SectorsRead(1, 0), 1);
    ChooseVolume(1, 0);
    EXPECT_EQ(SectorsRead(1, 0), 1);
    EXPECT_EQ(opener.OpenCount(), 2);
    EXPECT_EQ(opener.LiveDevices(), 2);
}

TEST_F(SectorAccessTest, FailedOpenIsTriedAgainOnTheNextRequest) {
    ChoosePath("later", 0);
    EXPECT_EQ(SectorsRead(1, 0, false), 0);
    EXPECT_FALSE(access.PathLayer().HoldsDevice());
    opener.AddPath("later", {NumberedSectors(8), {}, 0});
    EXPECT_EQ(SectorsRead(1, 0), 1);
}

TEST(SectorAccessLifetime, HandlesAreClosedWithTheSession) {
    DataSourceState state;
    MemoryDeviceOpener opener;
    opener.AddPath("disk", {NumberedSectors(8), {}, 0});
    opener.AddVolume(1, {NumberedSectors(8), {}, 0});
    std::vector<std::uint8_t> sector(512);
    {
        SectorAccess access(state, opener);
        state.devicePath = "disk";
        ASSERT_TRUE(access.ReadSectors(1, sector.data(), 0));
        state.isVolume = true;
        state.driveNumber = 1;
        ASSERT_TRUE(access.ReadSectors(1, sector.data(), 0));
        EXPECT_EQ(opener.LiveDevices(), 2);
    }
    EXPECT_EQ(opener.LiveDevices(), 0);
}

} // namespace
} // namespace vorthal
