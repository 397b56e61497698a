// The automatic workflow per database file: analysis, second search, check and build over a
// generated database in fragments; names made unique; failures said, never taken for success.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/assembly/chain_disk.h"
#include "tests/fixtures/recording_observer.h"
#include "workflow/recover.h"

namespace vorthal {
namespace {

using fixtures::ChainDisk;
using fixtures::TempFolder;

class RecoverTest : public ::testing::Test {
protected:
    // The fragments as the scan records them; the first one's memo names the file.
    void Record(const std::vector<FragmentNumbers>& placed) {
        for (std::size_t i = 0; i < placed.size(); ++i) {
            Fragment fragment;
            static_cast<FragmentNumbers&>(fragment) = placed[i];
            fragment.number = static_cast<std::int32_t>(i + 1);
            if (fragment.beginPage == 0) fragment.memo = "C:\\Data\\fixture.mdf:4800KB";
            fragments.Append(BuildFragmentLine(fragment));
        }
        ASSERT_TRUE(BuildPageOrderIndex(fragments, index));
    }
    std::vector<FileRecovery> Recover(const std::string& outputPath) {
        const RecoverInputs inputs{fragments, index, disk.reader, 8, false, observer};
        return RecoverDatabaseFiles(inputs, std::nullopt, [&](const std::string& proposed) {
            proposedNames.push_back(proposed);
            return std::optional<std::string>(outputPath);
        });
    }

    ChainDisk disk;
    FragmentList fragments;
    PageOrderIndex index;
    fixtures::RecordingObserver observer;
    TempFolder folder;
    std::vector<std::string> proposedNames;
};

TEST_F(RecoverTest, RebuildsTheFileFromItsFragmentsInDiskOrder) {
    Record({disk.Place(300, 600, 12000), disk.Place(0, 100, 1000), disk.Place(100, 300, 5000)});
    const std::vector<FileRecovery> files = Recover(folder / "out.mdf");
    ASSERT_EQ(files.size(), 1u);
    const FileRecovery& file = files[0];
    ASSERT_TRUE(file.Succeeded()) << file.failure;
    EXPECT_EQ(file.fileName, "C:\\Data\\fixture.mdf");
    EXPECT_EQ(proposedNames, std::vector<std::string>{"fixture.mdf"});
    EXPECT_EQ(file.fragmentsChained, 3);
    EXPECT_EQ(file.checkLines, std::vector<std::string>{"检测完毕"});
    EXPECT_EQ(fixtures::ReadFileBytes(folder / "out.mdf"), disk.File());
    ASSERT_TRUE(file.output.has_value());
    EXPECT_EQ(file.output->pages, 600);
    EXPECT_EQ(file.output->verifiedPages + file.output->zeroPages, 600); // every generated page carries a checksum
}

TEST_F(RecoverTest, MissingFragmentIsReportedByTheCheckAndLeftAsZeroPages) {
    Record({disk.Place(0, 100, 1000), disk.Place(300, 600, 12000)});
    const std::vector<FileRecovery> files = Recover(folder / "out.mdf");
    ASSERT_EQ(files.size(), 1u);
    ASSERT_TRUE(files[0].Succeeded()) << files[0].failure;
    EXPECT_EQ(files[0].check.missingAllocatedPages.size(), 200u);
    EXPECT_EQ(files[0].checkLines.front(), "缺少页面100");
    EXPECT_EQ(files[0].checkLines.back(), "检测完毕");
    EXPECT_EQ(files[0].build.pagesZeroFilled, 200);
}

TEST_F(RecoverTest, FailuresAreSaidAndNeverReportedAsRebuilt) {
    Record({disk.Place(0, 100, 1000), disk.Place(100, 600, 5000)});
    const std::vector<FileRecovery> unwritable = Recover(folder / "no-such-folder/out.mdf");
    ASSERT_EQ(unwritable.size(), 1u);
    EXPECT_FALSE(unwritable[0].Succeeded());
    EXPECT_NE(unwritable[0].failure.find("cannot create the output file"), std::string::npos) << unwritable[0].failure;

    disk.reader.FailSector(1000); // page 0 of the first fragment
    const std::vector<FileRecovery> unreadable = Recover(folder / "out.mdf");
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_EQ(unreadable[0].failure, "analysis failed: read disk error");
    EXPECT_FALSE(std::filesystem::exists(folder / "out.mdf"));
}

TEST(UniqueOutputPath, NumbersNamesAlreadyPresentOrHandedOut) {
    TempFolder folder;
    std::ofstream(folder / "shop.mdf") << "x";
    const auto unique = [&](const std::string& name, const std::vector<std::filesystem::path>& taken) {
        return UniqueOutputPath(folder.Path(), name, taken).filename().string();
    };
    EXPECT_EQ(unique("other.mdf", {}), "other.mdf");
    EXPECT_EQ(unique("shop.mdf", {}), "shop(2).mdf");
    EXPECT_EQ(unique("shop.mdf", {folder.Path() / "shop(2).mdf"}), "shop(3).mdf");
    EXPECT_EQ(unique("", {}), "noname.mdf");
    EXPECT_EQ(unique("noext", {folder.Path() / "noext"}), "noext(2)");
    EXPECT_EQ(unique("../../etc/x.mdf", {}), ".._.._etc_x.mdf");
    EXPECT_EQ(unique("..", {}), "noname.mdf");
}

} // namespace
} // namespace vorthal
