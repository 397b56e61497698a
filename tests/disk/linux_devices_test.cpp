#include <gtest/gtest.h>

#include <fstream>

#include "disk/data_source_menu.h"
#include "disk/linux_devices.h"
#include "disk/source_selection.h"
#include "tests/fixtures/disk_images.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {
namespace fs = std::filesystem;

TEST(LinuxDevices, WholeDiskNames) {
    for (const char* name :
         {"sda", "sdab", "vdb", "hda", "xvda", "nvme0n1", "nvme12n3", "mmcblk0", "loop7"}) {
        EXPECT_TRUE(IsWholeDiskName(name)) << name;
    }
    for (const char* name : {"sda1", "nvme0n1p1", "mmcblk0p1", "mmcblk0boot0", "zram0", "ram0", "dm-0", "md0",
                             "sr0", "loop0p1", "nvme0c0n1"}) {
        EXPECT_FALSE(IsWholeDiskName(name)) << name;
    }
}

void WriteText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << '\n';
}

// A /sys/block as the kernel lays it out, with the files the platform reads.
void AddDisk(const fs::path& sys, const std::string& name, SectorNumber sectors, bool removable = false) {
    WriteText(sys / name / "size", std::to_string(sectors));
    WriteText(sys / name / "removable", removable ? "1" : "0");
}

void AddPartition(const fs::path& sys, const std::string& disk, const std::string& name, int number) {
    WriteText(sys / disk / name / "partition", std::to_string(number));
    WriteText(sys / disk / name / "size", "1000");
}

TEST(LinuxDevices, ListsWholeDisksAndNumbersTheirPartitions) {
    fixtures::TempDir dir;
    const fs::path sys = dir / "block";
    AddDisk(sys, "sda", 976773168);
    AddPartition(sys, "sda", "sda10", 10);
    AddPartition(sys, "sda", "sda2", 2);
    AddPartition(sys, "sda", "sda1", 1);
    AddDisk(sys, "sdb", 0, true); // a card reader without a card
    AddDisk(sys, "sdc", 2000000, true);
    AddDisk(sys, "loop0", 4096);
    WriteText(sys / "loop0" / "loop" / "backing_file", "/srv/disk.img");
    AddDisk(sys, "loop1", 0); // unattached
    AddDisk(sys, "zram0", 8192);
    AddDisk(sys, "nvme0n1", 2048000);
    AddPartition(sys, "nvme0n1", "nvme0n1p1", 1);

    LinuxDevicePlatform platform(sys, dir / "dev");
    const auto drives = platform.PhysicalDrives();
    ASSERT_EQ(drives.size(), 4u);
    const std::vector<std::string> paths{drives[0].devicePath, drives[1].devicePath, drives[2].devicePath,
                                         drives[3].devicePath};
    const std::string dev = (dir / "dev").string() + "/";
    EXPECT_EQ(paths, (std::vector<std::string>{dev + "loop0", dev + "nvme0n1", dev + "sda", dev + "sdc"}));
    EXPECT_EQ(drives[2].number, 2);
    EXPECT_EQ(drives[2].parameters.totalSectors, 976773168);
    EXPECT_EQ(drives[3].parameters.flags, DriveParameters::kRemovableFlag);

    const auto volumes = platform.Volumes();
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[0].root, dev + "nvme0n1p1");
    EXPECT_EQ(volumes[1].root, dev + "sda1");
    EXPECT_EQ(volumes[2].root, dev + "sda2");
    EXPECT_EQ(volumes[3].root, dev + "sda10");
    EXPECT_EQ(volumes[3].number, 4);
    // The nodes do not exist: no label, and the volume cannot be sized.
    EXPECT_EQ(volumes[1].label, "");
    EXPECT_LE(platform.VolumeSizeBytes(2), 0);
    EXPECT_EQ(platform.GetPhysicalDriveParameters(2), std::nullopt);
}

// A partition node that is an NTFS volume image: the volume is listed with the label and type
// that libblkid reads, and choosing it reads the volume through the volume layer.
TEST(LinuxDevices, VolumesCarryTheirLabelAndAreChosenThroughTheVolumeLayer) {
    if (!fixtures::ToolAvailable("mkntfs"))
        GTEST_SKIP() << "mkntfs (ntfs-3g) is needed";
    fixtures::TempDir dir;
    ASSERT_EQ(fixtures::MakeNtfsImage(dir / "volume.img", 16, 4, "Data Vol"), std::nullopt);
    const fs::path sys = dir / "block";
    AddDisk(sys, "sdx", 40000);
    AddPartition(sys, "sdx", "sdx1", 1);
    fs::create_directories(dir / "dev");
    fs::create_symlink(dir / "volume.img", dir / "dev" / "sdx1");

    LinuxDevicePlatform platform(sys, dir / "dev");
    ASSERT_EQ(platform.Volumes().size(), 1u);
    EXPECT_EQ(platform.Volumes()[0].label, "Data Vol");
    EXPECT_EQ(platform.Volumes()[0].fileSystemType, "ntfs");
    const DataSourceMenu menu = BuildDataSourceMenu(platform);
    EXPECT_EQ(menu.volumeItemTexts[0].Caption(),
              "逻辑分区 " + (dir / "dev" / "sdx1").string() + " [DATA VOL] ");

    DataSourceState state;
    SectorAccess access(state, platform);
    SourceControls controls;
    fixtures::RecordingObserver observer;
    SourceSelection selection{state, access, controls, observer};
    ASSERT_TRUE(ChooseVolume(selection, platform, menu.volumeItemTexts[0]));
    EXPECT_TRUE(state.isVolume);
    EXPECT_EQ(controls.label5, "NTFS");
    EXPECT_EQ(controls.edtend, std::to_string(16 * 2048 - 8 - 1)); // whole clusters, up to the last sector
    const auto volumeBytes = fixtures::ReadBytes(dir / "volume.img");
    std::vector<std::uint8_t> sectors(16 * 512);
    ASSERT_TRUE(access.ReadSectors(16, sectors.data(), 100));
    EXPECT_TRUE(std::equal(sectors.begin(), sectors.end(), volumeBytes.begin() + 100 * 512));
    EXPECT_EQ(access.VolumeLayer().OpenedFor(), "1");
}

// An image with an MBR and one NTFS partition attached with losetup -P: the disk must be
// among the physical drives, its partition among the volumes with its label, and both must
// read back the image's bytes.
TEST(LinuxDevices, AttachedImageAppearsAsDriveAndVolume) {
    if (!fixtures::ToolAvailable("mkntfs"))
        GTEST_SKIP() << "mkntfs (ntfs-3g) is needed";
    fixtures::TempDir dir;
    ASSERT_EQ(fixtures::MakeNtfsImage(dir / "volume.img", 16, 4, "LOOPVOL"), std::nullopt);
    fixtures::MakeMbrDiskImage(dir / "disk.img", dir / "volume.img", 2048, 0x07, 2048);
    const auto diskBytes = fixtures::ReadBytes(dir / "disk.img");
    fixtures::LoopDevice loop(dir / "disk.img");
    if (loop.device().empty())
        GTEST_SKIP() << "cannot attach a loop device here: " << loop.reason();

    LinuxDevicePlatform platform;
    const DataSourceMenu menu = BuildDataSourceMenu(platform);
    DataSourceState state;
    SectorAccess access(state, platform);
    SourceControls controls;
    fixtures::RecordingObserver observer;
    SourceSelection selection{state, access, controls, observer};

    const auto drive =
        std::find_if(menu.driveItemTexts.begin(), menu.driveItemTexts.end(), [&](const DriveItem& item) {
            return platform.PhysicalDrives()[static_cast<std::size_t>(item.driveNumber)].devicePath ==
                   loop.device();
        });
    ASSERT_NE(drive, menu.driveItemTexts.end()) << loop.device() << " is not among the physical drives";
    ASSERT_TRUE(ChoosePhysicalDrive(selection, platform, *drive));
    EXPECT_EQ(state.sizeSectors, static_cast<SectorNumber>(diskBytes.size() / 512));
    std::vector<std::uint8_t> sectors(16 * 512);
    ASSERT_TRUE(access.ReadSectors(16, sectors.data(), 2040));
    EXPECT_TRUE(std::equal(sectors.begin(), sectors.end(), diskBytes.begin() + 2040 * 512));

    if (!fs::exists(loop.device() + "p1")) {
        GTEST_SKIP() << "the kernel found no partition on " << loop.device()
                     << " (no partition scanning here); the volume half of this test did not run";
    }
    const std::string itemText = loop.device() + "p1 [LOOPVOL]";
    const auto volume = std::find_if(menu.volumeItemTexts.begin(), menu.volumeItemTexts.end(),
                                     [&](const VolumeItem& item) { return item.text == itemText; });
    ASSERT_NE(volume, menu.volumeItemTexts.end()) << itemText << " is not among the volumes";
    ASSERT_TRUE(ChooseVolume(selection, platform, *volume)) << observer.messages.size();
    EXPECT_EQ(controls.label5, "NTFS");
    EXPECT_EQ(controls.edtsecs, "8");
    EXPECT_EQ(controls.edtend, std::to_string(16 * 2048 - 8 - 1)); // whole clusters, up to the last sector
    ASSERT_TRUE(access.ReadSectors(16, sectors.data(), 100));
    EXPECT_TRUE(std::equal(sectors.begin(), sectors.end(), diskBytes.begin() + (2048 + 100) * 512));
}

} // namespace
} // namespace vorthal
