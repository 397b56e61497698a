#include <gtest/gtest.h>

#include "disk/data_source_menu.h"
#include "tests/fixtures/fake_device_platform.h"

namespace vorthal {
namespace {

struct CaptionCase {
    SectorNumber totalSectors;
    bool removable;
    int number;
    const char* caption;
};

class DriveCaptions : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(DriveCaptions, ShowKindNumberAndSize) {
    const CaptionCase& c = GetParam();
    DriveParameters parameters;
    parameters.totalSectors = c.totalSectors;
    parameters.flags = c.removable ? DriveParameters::kRemovableFlag : 0;
    EXPECT_EQ(DriveCaption(c.number, parameters), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Cases, DriveCaptions,
                         ::testing::Values(CaptionCase{976773168, false, 0, "本地磁盘 0 (465.76 GB) "},
                                           CaptionCase{2048000, false, 1, "本地磁盘 1 (0.98 GB) "},
                                           CaptionCase{2000000, true, 2, "可移动存储 2 (976.56 MB) "},
                                           CaptionCase{7814037168, false, 3, "本地磁盘 3 (3726.02 GB) "}));

TEST(DataSourceMenu, ItemsInOrderWithSeparators) {
    fixtures::FakeDevicePlatform platform;
    platform.AddDrive({0, "/dev/sda", {0, 2048000}});
    platform.AddDrive({2, "/dev/sdc", {DriveParameters::kRemovableFlag, 2000000}});
    platform.AddVolume({1, "/dev/sda1", "System", "ntfs"}, 1);
    platform.AddVolume({2, "/dev/sdc1", "", ""}, 0);
    const DataSourceMenu menu = BuildDataSourceMenu(platform);
    ASSERT_EQ(menu.driveItemTexts.size(), 2u);
    EXPECT_EQ(menu.driveItemTexts[1].driveNumber, 2);
    EXPECT_EQ(menu.volumeItemTexts[0].text, "/dev/sda1 [SYSTEM]");
    EXPECT_EQ(menu.volumeItemTexts[1].volumeNumber, 2);
    const std::vector<std::string> expected{"打开镜像文件",
                                            "-",
                                            "本地磁盘 0 (0.98 GB) ",
                                            "可移动存储 2 (976.56 MB) ",
                                            "-",
                                            "逻辑分区 /dev/sda1 [SYSTEM] ",
                                            "逻辑分区 /dev/sdc1 [] "};
    EXPECT_EQ(menu.Captions(), expected);
}

} // namespace
} // namespace vorthal
