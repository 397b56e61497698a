// A scan of free space only on a real FAT32 volume: the free-space test must use the file
// system's cluster size whatever step the operator scans with.
#include <gtest/gtest.h>

#include "disk/linux_devices.h"
#include "disk/source_selection.h"
#include "scan/fragment_line.h"
#include "tests/fixtures/database_builder.h"
#include "tests/fixtures/disk_images.h"
#include "tests/fixtures/recording_observer.h"
#include "tests/workflow/session_fixture.h"
#include "workflow/session.h"

namespace vorthal {
namespace {

TEST(FreeSpaceScan, FindsADeletedDatabaseAtEveryStepBetweenFilesInUse) {
    if (!fixtures::ToolAvailable("mkfs.vfat") || !fixtures::ToolAvailable("mcopy"))
        GTEST_SKIP() << "mkfs.vfat and mtools are needed to make a FAT32 volume";
    fixtures::TempDir dir;
    const auto image = dir / "volume.img";
    ASSERT_EQ(fixtures::MakeFat32Image(image, 260, 4, "FREESPACE"), std::nullopt);
    // A small file kept, the database, then a large file kept: with a step of 1 taken for the
    // cluster size, the database's sectors would be tested against clusters of the large file.
    fixtures::WriteBytes(dir / "small.bin", fixtures::PatternBytes(64 * 1024, 1));
    fixtures::DatabaseSpec spec;
    spec.pages = 200;
    spec.objects = {{.objectId = 2073058421, .iamPage = 33, .firstPage = 34, .pageCount = 166}};
    fixtures::WriteBytes(dir / "db.mdf", fixtures::BuildDatabaseFile(spec));
    fixtures::WriteBytes(dir / "large.bin", fixtures::PatternBytes(20 * 1024 * 1024, 2));
    for (const char* name : {"small.bin", "db.mdf", "large.bin"})
        ASSERT_EQ(fixtures::CopyIntoFat32(image, dir / name, name), std::nullopt);
    ASSERT_EQ(fixtures::DeleteFromFat32(image, "db.mdf"), std::nullopt);

    for (const std::int64_t step : {8, 1}) {
        SCOPED_TRACE(step);
        Session session(std::make_unique<LinuxDevicePlatform>(dir / "no-sysfs"));
        fixtures::RecordingObserver chooser;
        chooser.answers = {true}; // a partition image
        SourceSelection selection = session.Selection(chooser);
        ASSERT_TRUE(ChooseImageFile(selection, *session.deviceOpener, image.string()));
        ScanOptions options;
        options.beginSector = *ParseInt64Text(session.sourceControls.edtbegin);
        options.endSector = *ParseInt64Text(session.sourceControls.edtend);
        options.step = step;
        options.freeSpaceOnly = true;
        fixtures::RecordingScanObserver observer;
        ASSERT_EQ(fixtures::Scan(session, options, observer), ScanEnd::kCompleted);

        std::int64_t pagesFound = 0;
        for (std::size_t i = 0; i < session.fragments.Count(); ++i) pagesFound += session.fragments.Numbers(i)->Pages();
        // The zero pages 2 to 31 count too: the run from page 32 on joins the file start.
        EXPECT_EQ(pagesFound, spec.pages);
    }
}

} // namespace
} // namespace vorthal
