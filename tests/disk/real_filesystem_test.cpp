// The free-space map and source selection on real FAT32 and NTFS volumes made at test time,
// checked against what the file systems' own tools report.
#include <gtest/gtest.h>

#include <regex>

#include "disk/boot_sector.h"
#include "disk/free_space_map.h"
#include "disk/linux_devices.h"
#include "disk/source_selection.h"
#include "tests/fixtures/disk_images.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using fixtures::Quoted;
using fixtures::RunCommand;

// The number in the tool's output after the given text, or -1.
std::int64_t NumberAfter(const std::string& output, const std::string& text) {
    const std::smatch match = [&] {
        std::smatch found;
        std::regex_search(output, found, std::regex(text + R"(\s*(\d+))"));
        return found;
    }();
    return match.empty() ? -1 : std::stoll(match[1]);
}

// Clusters of a FAT file as mshowfat lists them: "<3-27><30>".
std::vector<std::int64_t> FatFileClusters(const std::filesystem::path& image, const std::string& name) {
    const auto result =
        RunCommand("MTOOLS_SKIP_CHECK=1 mshowfat -i " + Quoted(image.string()) + " " + Quoted("::" + name));
    std::vector<std::int64_t> clusters;
    const std::regex range(R"(<(\d+)(?:-(\d+))?>)");
    for (auto it = std::sregex_iterator(result.output.begin(), result.output.end(), range);
         it != std::sregex_iterator(); ++it) {
        const std::int64_t first = std::stoll((*it)[1]);
        const std::int64_t last = (*it)[2].matched ? std::stoll((*it)[2]) : first;
        for (std::int64_t cluster = first; cluster <= last; ++cluster)
            clusters.push_back(cluster);
    }
    return clusters;
}

// A volume image chosen as a partition image, with its map built.
class RealVolume {
  public:
    explicit RealVolume(const std::filesystem::path& image) : platform_(image.parent_path() / "no-sysfs") {
        observer.answers = {true};
        chosen = ChooseImageFile(selection, platform_, image.string());
        built = chosen && BuildFreeSpaceMap(map, {access, state, observer}, transferBuffer);
        std::vector<std::uint8_t> boot(512);
        if (chosen && access.ReadSectors(1, boot.data(), 0))
            clusters = VolumeClusterRange(boot);
    }
    std::int64_t ClustersInUse() const {
        return map.CountSetBits(clusters.firstCluster, clusters.clusterCount);
    }

    DataSourceState state;
    SourceControls controls;
    fixtures::RecordingObserver observer;
    FreeSpaceMap map;
    ClusterRange clusters;
    bool chosen = false;
    bool built = false;

  private:
    LinuxDevicePlatform platform_;
    SectorAccess access{state, platform_};
    SourceSelection selection{state, access, controls, observer};
    std::vector<std::uint8_t> transferBuffer = std::vector<std::uint8_t>(kTransferBufferBytes);
};

struct Fat32Case {
    int clusterKiB;
    int sizeMiB;
};

class RealFat32 : public ::testing::TestWithParam<Fat32Case> {};

TEST_P(RealFat32, MapAgreesWithTheFatClusterForCluster) {
    if (!fixtures::ToolAvailable("mkfs.vfat") || !fixtures::ToolAvailable("mcopy")) {
        GTEST_SKIP() << "mkfs.vfat and mtools are needed";
    }
    const Fat32Case& c = GetParam();
    fixtures::TempDir dir;
    const auto image = dir / "fat32.img";
    ASSERT_EQ(fixtures::MakeFat32Image(image, c.sizeMiB, c.clusterKiB, "VORTHAL"), std::nullopt);
    const std::vector<std::pair<std::string, std::size_t>> files{
        {"keep1.bin", 300000}, {"gone.bin", 1000000}, {"keep2.bin", 77777}, {"keep3.bin", 5}};
    for (std::size_t i = 0; i < files.size(); ++i) {
        fixtures::WriteBytes(dir / files[i].first,
                             fixtures::PatternBytes(files[i].second, static_cast<std::uint32_t>(i)));
        ASSERT_EQ(fixtures::CopyIntoFat32(image, dir / files[i].first, files[i].first), std::nullopt);
    }
    const std::vector<std::int64_t> deletedClusters = FatFileClusters(image, "gone.bin");
    ASSERT_FALSE(deletedClusters.empty());
    ASSERT_EQ(fixtures::DeleteFromFat32(image, "gone.bin"), std::nullopt);

    RealVolume volume(image);
    ASSERT_TRUE(volume.built) << (volume.observer.messages.empty() ? "" : volume.observer.messages[0].text);
    EXPECT_EQ(volume.controls.label5, "FAT32");
    EXPECT_EQ(volume.state.sectorsPerCluster, c.clusterKiB * 2);
    EXPECT_EQ(volume.controls.edtbegin, std::to_string(volume.state.dataStartSector));

    const auto info = RunCommand("MTOOLS_SKIP_CHECK=1 minfo -i " + Quoted(image.string()) + " ::");
    const std::int64_t freeClusters = NumberAfter(info.output, "free clusters=");
    ASSERT_GT(freeClusters, 0) << info.output;
    EXPECT_EQ(volume.clusters.clusterCount - volume.ClustersInUse(), freeClusters);
    for (const auto& [name, size] : files) {
        if (name == "gone.bin")
            continue;
        for (const std::int64_t cluster : FatFileClusters(image, name)) {
            EXPECT_TRUE(volume.map.IsBitSet(cluster)) << name << " cluster " << cluster;
        }
    }
    for (const std::int64_t cluster : deletedClusters)
        EXPECT_FALSE(volume.map.IsBitSet(cluster)) << cluster;
    // The sectors of a deleted file's cluster are free for the scan, those of a kept file not.
    const auto sectorOf = [&](std::int64_t cluster) {
        return volume.state.dataStartSector + (cluster - 2) * volume.state.sectorsPerCluster + 1;
    };
    EXPECT_FALSE(volume.map.IsClusterAllocated(sectorOf(deletedClusters[0]), "FAT32",
                                               volume.state.sectorsPerCluster, volume.state.dataStartSector));
    EXPECT_TRUE(volume.map.IsClusterAllocated(sectorOf(FatFileClusters(image, "keep1.bin").back()), "FAT32",
                                              volume.state.sectorsPerCluster, volume.state.dataStartSector));
}

INSTANTIATE_TEST_SUITE_P(ClusterSizes, RealFat32,
                         ::testing::Values(Fat32Case{4, 258}, Fat32Case{8, 520}, Fat32Case{32, 2080}),
                         [](const auto& caseInfo) {
                             return std::to_string(caseInfo.param.clusterKiB) + "KiB";
                         });

TEST(RealNtfs, MapIsTheBitmapFileAndCountsWhatTheToolsCount) {
    for (const char* tool : {"mkntfs", "ntfscp", "ntfscat", "ntfscluster"}) {
        if (!fixtures::ToolAvailable(tool))
            GTEST_SKIP() << tool << " (ntfs-3g) is needed";
    }
    fixtures::TempDir dir;
    const auto image = dir / "ntfs.img";
    ASSERT_EQ(fixtures::MakeNtfsImage(image, 48, 4, "VORTHALNT"), std::nullopt);
    for (int i = 0; i < 3; ++i) {
        const std::string name = "file" + std::to_string(i) + ".bin";
        fixtures::WriteBytes(dir / name, fixtures::PatternBytes(static_cast<std::size_t>(400000 * (i + 1)),
                                                                static_cast<std::uint32_t>(i)));
        ASSERT_EQ(fixtures::CopyIntoNtfs(image, dir / name, name), std::nullopt);
    }

    RealVolume volume(image);
    ASSERT_TRUE(volume.built) << (volume.observer.messages.empty() ? "" : volume.observer.messages[0].text);
    EXPECT_EQ(volume.controls.label5, "NTFS");
    EXPECT_EQ(volume.state.sectorsPerCluster, 8);
    EXPECT_EQ(volume.controls.edtbegin, "0");

    const auto bitmap =
        RunCommand("PATH=\"$PATH:/usr/sbin\" ntfscat " + Quoted(image.string()) + " '$Bitmap'");
    ASSERT_EQ(bitmap.exitCode, 0);
    ASSERT_GE(volume.map.bytes().size(), bitmap.output.size());
    EXPECT_TRUE(std::equal(bitmap.output.begin(), bitmap.output.end(), volume.map.bytes().begin(),
                           [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));

    const auto info = RunCommand("PATH=\"$PATH:/usr/sbin\" ntfscluster -f -i " + Quoted(image.string()));
    const std::int64_t freeClusters = NumberAfter(info.output, "clusters of free space\\s*:");
    ASSERT_GT(freeClusters, 0) << info.output;
    EXPECT_EQ(volume.clusters.clusterCount - volume.ClustersInUse(), freeClusters);
}

} // namespace
} // namespace vorthal
