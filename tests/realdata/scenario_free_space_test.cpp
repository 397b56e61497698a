// The free-space map on scenario images with ground truth: every sector of a deleted database
// file must be free for the scan, and the files kept between its fragments must not be.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <unistd.h>

#include "disk/free_space_map.h"
#include "disk/linux_devices.h"
#include "disk/source_selection.h"
#include "tests/fixtures/disk_images.h"
#include "tests/fixtures/recording_observer.h"
#include "tests/realdata/shared_data.h"

namespace vorthal {
namespace {
namespace fs = std::filesystem;

struct Extent {
    SectorNumber start = 0;
    SectorNumber sectors = 0;
};

std::vector<Extent> ExtentsOf(const fs::path& groundTruth) {
    const auto bytes = fixtures::ReadBytes(groundTruth);
    const std::string text(bytes.begin(), bytes.end());
    const std::regex extent(R"re("start_sector":\s*(\d+),\s*"sectors":\s*(\d+))re");
    std::vector<Extent> extents;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), extent); it != std::sregex_iterator();
         ++it) {
        extents.push_back({std::stoll((*it)[1]), std::stoll((*it)[2])});
    }
    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.start < b.start; });
    return extents;
}

class ScenarioFreeSpace : public ::testing::TestWithParam<const char*> {};

TEST_P(ScenarioFreeSpace, DeletedFileIsFreeAndFilesBetweenItsFragmentsAreNot) {
    const std::string kind = GetParam();
    const fs::path generator = realdata::SharedDir() / "scenarios" / "make_scenarios.py";
    const fs::path mdf = realdata::MdfDir() / "db01.mdf";
    if (!fs::exists(generator) || !fs::exists(mdf))
        GTEST_SKIP() << "no scenario generator or db01.mdf under " << realdata::SharedDir();
    if (kind.starts_with("ntfs") && (geteuid() != 0 || !fs::exists("/dev/fuse"))) {
        GTEST_SKIP() << "NTFS scenarios mount with ntfs-3g, which needs root and /dev/fuse";
    }
    fixtures::TempDir dir;
    const auto built = fixtures::RunCommand("PATH=\"$PATH:/usr/sbin:/sbin\" python3 " +
                                            fixtures::Quoted(generator.string()) + " build " + kind +
                                            " --out " + fixtures::Quoted(dir.path().string()) +
                                            " --seed 1 --mdf " + fixtures::Quoted(mdf.string()));
    ASSERT_EQ(built.exitCode, 0) << built.output;
    const fs::path image = dir / (kind + "-s1.img");
    const std::vector<Extent> extents = ExtentsOf(dir / (kind + "-s1.json"));
    ASSERT_GE(extents.size(), 2u);

    LinuxDevicePlatform platform(dir / "no-sysfs");
    DataSourceState state;
    SectorAccess access(state, platform);
    SourceControls controls;
    fixtures::RecordingObserver observer;
    observer.answers = {true};
    SourceSelection selection{state, access, controls, observer};
    ASSERT_TRUE(ChooseImageFile(selection, platform, image.string()));
    FreeSpaceMap map;
    std::vector<std::uint8_t> transferBuffer(kTransferBufferBytes);
    ASSERT_TRUE(BuildFreeSpaceMap(map, {access, state, observer}, transferBuffer));

    const auto allocated = [&](SectorNumber sector) {
        return map.IsClusterAllocated(sector, controls.label5, state.sectorsPerCluster,
                                      state.dataStartSector);
    };
    for (const Extent& extent : extents) {
        for (SectorNumber sector = extent.start; sector < extent.start + extent.sectors; ++sector) {
            ASSERT_FALSE(allocated(sector)) << "sector " << sector << " of the deleted file is marked in use";
        }
    }
    int gapsInUse = 0;
    for (std::size_t i = 1; i < extents.size(); ++i) {
        for (SectorNumber sector = extents[i - 1].start + extents[i - 1].sectors; sector < extents[i].start;
             ++sector) {
            if (allocated(sector)) {
                ++gapsInUse;
                break;
            }
        }
    }
    EXPECT_GT(gapsInUse, 0) << "the filler files kept between the fragments must be in use";
}

INSTANTIATE_TEST_SUITE_P(Kinds, ScenarioFreeSpace, ::testing::Values("fat32-deleted-frag", "ntfs-deleted"),
                         [](const auto& caseInfo) {
                             std::string name = caseInfo.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace vorthal
