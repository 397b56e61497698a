#include <gtest/gtest.h>

#include "disk/source_selection.h"
#include "tests/fixtures/boot_sectors.h"
#include "tests/fixtures/disk_images.h"
#include "tests/fixtures/fake_device_platform.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using fixtures::MemoryDeviceOpener;

std::vector<std::uint8_t> ImageWithBootSector(const std::vector<std::uint8_t>& bootSector,
                                              std::size_t sectors) {
    std::vector<std::uint8_t> bytes(sectors * 512, 0);
    std::copy(bootSector.begin(), bootSector.end(), bytes.begin());
    return bytes;
}

class SourceSelectionTest : public ::testing::Test {
  protected:
    SourceSelectionTest() {
        platform.AddDrive({0, "/dev/sda", {0, 2048000}});
        platform.AddDrive({2, "/dev/sdc", {DriveParameters::kRemovableFlag, 2000000}});
        platform.AddVolume({1, "/dev/sda1", "DATA", "ntfs"}, 1000000LL * 512,
                           {ImageWithBootSector(fixtures::NtfsBootSector(8, 4, 1000000), 16), {}, 0});
        platform.AddVolume({2, "/dev/sdc1", "", ""}, 0);
        platform.AddVolume({3, "/dev/sda2", "BAD", "vfat"}, 4096LL * 512,
                           {std::vector<std::uint8_t>(4096), {0}, 0});
        menu = BuildDataSourceMenu(platform);
    }

    void AddImage(const std::string& path, std::vector<std::uint8_t> bytes,
                  std::set<SectorNumber> failing = {}) {
        platform.opener.AddPath(path, MemoryDeviceOpener::Source{std::move(bytes), std::move(failing), 0});
    }

    DataSourceState state;
    fixtures::FakeDevicePlatform platform;
    SectorAccess access{state, platform};
    SourceControls controls;
    fixtures::RecordingObserver observer;
    SourceSelection selection{state, access, controls, observer};
    DataSourceMenu menu;
};

TEST_F(SourceSelectionTest, PhysicalDriveIsReadWholeThroughThePathLayer) {
    ASSERT_TRUE(ChoosePhysicalDrive(selection, platform, menu.driveItemTexts[1]));
    EXPECT_TRUE(state.sourceChosen);
    EXPECT_FALSE(state.isVolume);
    EXPECT_FALSE(state.hasFileSystem);
    EXPECT_EQ(state.devicePath, "/dev/sdc");
    EXPECT_EQ(state.sizeSectors, 2000000);
    EXPECT_EQ(state.readBound, 2000000);
    EXPECT_EQ(controls.edtDataStr, "可移动存储 2 (976.56 MB) ");
    EXPECT_EQ(controls.edtbegin, "0");
    EXPECT_EQ(controls.edtend, "2000000");
    EXPECT_EQ(controls.edtsecs, "1");
    EXPECT_EQ(controls.label5, "");
    EXPECT_FALSE(controls.chkfreespaceChecked);
    EXPECT_FALSE(controls.chkfreespaceEnabled);
}

TEST_F(SourceSelectionTest, DriveThatStoppedAnsweringIsNotChosen) {
    platform.answering = false;
    EXPECT_FALSE(ChoosePhysicalDrive(selection, platform, menu.driveItemTexts[0]));
    EXPECT_FALSE(state.sourceChosen);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, "磁盘无法访问：本地磁盘 0 (0.98 GB) ");
}

TEST_F(SourceSelectionTest, NtfsVolumeScansFromZeroToItsLastSector) {
    ASSERT_TRUE(ChooseVolume(selection, platform, menu.volumeItemTexts[0]));
    EXPECT_TRUE(state.isVolume);
    EXPECT_EQ(state.driveNumber, 1);
    EXPECT_EQ(state.sizeSectors, 999999);
    EXPECT_EQ(state.readBound, 999999);
    EXPECT_EQ(state.mftCluster, 4);
    EXPECT_EQ(controls.edtDataStr, "/dev/sda1 [DATA]");
    EXPECT_EQ(controls.edtbegin, "0");
    EXPECT_EQ(controls.edtend, "999999");
    EXPECT_EQ(controls.edtsecs, "8");
    EXPECT_EQ(controls.label5, "NTFS");
    EXPECT_TRUE(controls.chkfreespaceChecked);
    EXPECT_TRUE(controls.chkfreespaceEnabled);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(SourceSelectionTest, VolumeWithoutMediumIsRefusedAndNothingChanges) {
    ASSERT_TRUE(ChoosePhysicalDrive(selection, platform, menu.driveItemTexts[0]));
    const DataSourceState before = state;
    EXPECT_FALSE(ChooseVolume(selection, platform, menu.volumeItemTexts[1]));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, "分区无效！");
    EXPECT_EQ(observer.messages[0].title, "提示");
    EXPECT_EQ(observer.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(state.devicePath, before.devicePath);
    EXPECT_FALSE(state.isVolume);
    EXPECT_EQ(controls.edtend, "2048000");
}

TEST_F(SourceSelectionTest, UnreadableBootSectorKeepsThePreviousRange) {
    ASSERT_TRUE(ChoosePhysicalDrive(selection, platform, menu.driveItemTexts[0]));
    EXPECT_FALSE(ChooseVolume(selection, platform, menu.volumeItemTexts[2]));
    ASSERT_EQ(observer.Log(LogPane::Scan).size(), 1u);
    EXPECT_EQ(observer.Log(LogPane::Scan)[0], "512error 读取sec0");
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, "取分区信息失败");
    EXPECT_TRUE(state.isVolume);
    EXPECT_EQ(state.driveNumber, 3);
    EXPECT_EQ(state.readBound, 2048000);
    EXPECT_EQ(controls.edtend, "2048000");
    EXPECT_EQ(controls.edtDataStr, "/dev/sda2 [BAD]");
    EXPECT_FALSE(controls.chkfreespaceChecked);
    EXPECT_TRUE(controls.chkfreespaceEnabled);
}

TEST_F(SourceSelectionTest, Fat32PartitionImageScansItsClusterAreaUpToTheEndOfTheFile) {
    AddImage("/img/part.img", ImageWithBootSector(fixtures::Fat32BootSector(8, 32, 1000, 6000), 6000));
    observer.answers = {true};
    ASSERT_TRUE(ChooseImageFile(selection, platform, "/img/part.img"));
    EXPECT_EQ(
        observer.questions,
        std::vector<std::string>{"数据文件类型选择: 此镜像文件是逻辑分区镜像请选是，是整个磁盘镜像请选否"});
    EXPECT_TRUE(state.hasFileSystem);
    EXPECT_FALSE(state.isVolume);
    EXPECT_EQ(state.devicePath, "/img/part.img");
    EXPECT_EQ(state.fatReservedSectors, 32);
    EXPECT_EQ(state.fatSectors, 1000);
    EXPECT_EQ(controls.edtbegin, "2032");
    EXPECT_EQ(controls.edtend, "6000");
    EXPECT_EQ(state.readBound, 6000);
    EXPECT_EQ(controls.edtsecs, "8");
    EXPECT_EQ(controls.label5, "FAT32");
    EXPECT_TRUE(controls.chkfreespaceChecked);
    EXPECT_TRUE(controls.chkfreespaceEnabled);
}

TEST_F(SourceSelectionTest, PartitionImageWithoutSignatureIsUnrecognised) {
    auto bytes = fixtures::PatternBytes(64 * 512, 3);
    std::fill(bytes.begin() + 3, bytes.begin() + 7, std::uint8_t{0});
    AddImage("/img/random.img", bytes);
    observer.answers = {true};
    ASSERT_TRUE(ChooseImageFile(selection, platform, "/img/random.img"));
    EXPECT_EQ(controls.label5, "不可识别");
    EXPECT_EQ(controls.edtbegin, "0");
    EXPECT_EQ(controls.edtend, "64");
    EXPECT_TRUE(controls.chkfreespaceChecked);
}

TEST_F(SourceSelectionTest, ImageAnsweredAsWholeDisk) {
    AddImage("/img/disk.img", std::vector<std::uint8_t>(5000 * 512 + 100));
    observer.answers = {false};
    ASSERT_TRUE(ChooseImageFile(selection, platform, "/img/disk.img"));
    EXPECT_FALSE(state.hasFileSystem);
    EXPECT_EQ(state.sizeSectors, 5000);
    EXPECT_EQ(state.readBound, 5000);
    EXPECT_EQ(controls.edtbegin, "0");
    EXPECT_EQ(controls.edtend, "5000");
    EXPECT_EQ(controls.edtsecs, "1");
    EXPECT_EQ(controls.label5, "");
    EXPECT_FALSE(controls.chkfreespaceChecked);
    EXPECT_FALSE(controls.chkfreespaceEnabled);
    EXPECT_EQ(controls.edtDataStr, "/img/disk.img");
}

TEST_F(SourceSelectionTest, PartitionImageWithUnreadableBootSector) {
    AddImage("/img/bad.img", std::vector<std::uint8_t>(64 * 512), {0});
    observer.answers = {true};
    EXPECT_FALSE(ChooseImageFile(selection, platform, "/img/bad.img"));
    EXPECT_EQ(observer.Log(LogPane::Scan), std::vector<std::string>{"512error 读取sec0"});
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, "取分区信息失败2");
    EXPECT_TRUE(state.sourceChosen);
    EXPECT_TRUE(state.hasFileSystem);
    EXPECT_TRUE(controls.chkfreespaceEnabled);
    EXPECT_FALSE(controls.chkfreespaceChecked);
}

struct BadImageCase {
    const char* name;
    std::size_t bytes; // of an image that exists; SIZE_MAX for one that does not
    const char* message;
};

class BadImages : public SourceSelectionTest, public ::testing::WithParamInterface<BadImageCase> {};

TEST_P(BadImages, AreRefusedWithAMessageAndNothingChanges) {
    const BadImageCase& c = GetParam();
    if (c.bytes != SIZE_MAX)
        AddImage("/img/x.img", std::vector<std::uint8_t>(c.bytes));
    EXPECT_FALSE(ChooseImageFile(selection, platform, "/img/x.img"));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, std::string(c.message) + "/img/x.img");
    EXPECT_TRUE(observer.questions.empty());
    EXPECT_FALSE(state.sourceChosen);
    EXPECT_EQ(controls.edtDataStr, kNoSourceCaption);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadImages,
                         ::testing::Values(BadImageCase{"Missing", SIZE_MAX, "无法打开镜像文件："},
                                           BadImageCase{"Empty", 0, "镜像文件为空："},
                                           BadImageCase{"ShorterThanOneSector", 300, "镜像文件为空："}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SourceSelectionTest, CancelledDialogChangesNothing) {
    EXPECT_FALSE(ChooseImageFile(selection, platform, ""));
    EXPECT_FALSE(state.sourceChosen);
    EXPECT_TRUE(observer.messages.empty());
}

} // namespace
} // namespace vorthal
