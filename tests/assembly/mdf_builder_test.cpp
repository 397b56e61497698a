// The MDF builder: pages at their offsets, gaps and the tail as zero pages, the split page at a
// joint repaired, unreadable pages as zeros, and no failed output reported as built.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assembly/mdf_builder.h"
#include "tests/assembly/chain_disk.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using fixtures::ChainDisk;
using fixtures::IsZero;
using fixtures::ReadFileBytes;
using fixtures::RecordingObserver;
using fixtures::TempFolder;
using Status = MdfBuildResult::Status;

class MdfBuilderTest : public ::testing::Test {
protected:
    MdfBuildResult Build(const std::vector<FragmentNumbers>& rows, std::int32_t sizePages, int sectorsPerCluster,
                         const std::string& path) {
        const MdfBuildInput input{rows, "C:\\Data\\fixture.mdf", sizePages, sectorsPerCluster};
        return BuildMdf(input, disk.reader, observer, [&](const std::string& proposed) -> std::optional<std::string> {
            proposedNames.push_back(proposed);
            return path;
        });
    }
    std::span<const std::uint8_t> OutputPage(const std::vector<std::uint8_t>& output, std::int32_t page) {
        return std::span(output).subspan(static_cast<std::size_t>(page) * kPageSize, kPageSize);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : observer.messages) texts.push_back(m.text);
        return texts;
    }

    ChainDisk disk;
    RecordingObserver observer;
    TempFolder folder;
    std::vector<std::string> proposedNames;
};

TEST(ProposedOutputName, PartAfterTheLastBackslash) {
    EXPECT_EQ(ProposedOutputName("c:\\noname.mdf"), "noname.mdf");
    EXPECT_EQ(ProposedOutputName("D:\\SQL\\Data\\shop_data.mdf"), "shop_data.mdf");
    EXPECT_EQ(ProposedOutputName("plain.mdf"), "plain.mdf");
    EXPECT_EQ(ProposedOutputName("c:\\dir\\"), "");
}

TEST_F(MdfBuilderTest, FirstRowNotAtPageZeroBuildsNothing) {
    observer.Log(LogPane::Assembly) = {"earlier"};
    const MdfBuildResult result = Build({disk.Place(1, 100, 1000)}, 256, 8, folder / "out.mdf");
    EXPECT_EQ(result.status, Status::kNotStarted);
    EXPECT_TRUE(proposedNames.empty());
    EXPECT_TRUE(observer.Log(LogPane::Assembly).empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "out.mdf"));
}

TEST_F(MdfBuilderTest, GapsAndTheTailBecomeZeroPages) {
    const std::vector rows{disk.Place(0, 100, 1000), disk.Place(150, 200, 5000)};
    const MdfBuildResult result = Build(rows, 256, 8, folder / "out.mdf");
    ASSERT_EQ(result.status, Status::kBuilt) << result.error;
    EXPECT_EQ(proposedNames, std::vector<std::string>{"fixture.mdf"});
    EXPECT_EQ(result.pagesCopied, 150);
    EXPECT_EQ(result.pagesZeroFilled, 106);
    EXPECT_EQ(result.pagesUnreadable, 0);
    EXPECT_EQ(result.pagesWritten, 256);
    const std::vector<std::uint8_t> output = ReadFileBytes(folder / "out.mdf");
    ASSERT_EQ(output.size(), 256 * kPageSize);
    for (std::int32_t page = 0; page < 256; ++page) {
        const bool copied = page < 100 || (page >= 150 && page < 200);
        if (copied) {
            EXPECT_TRUE(std::ranges::equal(OutputPage(output, page), disk.FilePages(page, page + 1))) << page;
        } else {
            EXPECT_TRUE(IsZero(OutputPage(output, page))) << page;
        }
    }
    EXPECT_EQ(observer.Log(LogPane::Assembly), std::vector<std::string>{"组合完毕"});
    EXPECT_EQ(observer.gauge, (std::vector<int>{0, 100}));
}

// Page 99 is cut after `headSectors` sectors: its tail lies before the second fragment.
TEST_F(MdfBuilderTest, SplitPageAtAJointIsRepairedBelowSixteenSectorsPerCluster) {
    const struct {
        int sectorsPerCluster;
        int headSectors;
        bool repaired;
    } cases[] = {{8, 8, true}, {1, 5, true}, {4, 12, true}, {16, 8, false}, {0, 8, false}, {-1, 8, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sectorsPerCluster);
        ChainDisk split;
        const std::vector rows{split.PlaceSplit(0, 100, 1000, c.headSectors, 9000), split.Place(100, 200, 9000)};
        const MdfBuildResult result = BuildMdf({rows, "c:\\noname.mdf", 200, c.sectorsPerCluster}, split.reader,
                                               observer, [&](const std::string&) { return folder / "out.mdf"; });
        ASSERT_EQ(result.status, Status::kBuilt) << result.error;
        EXPECT_EQ(result.splitPagesRepaired, c.repaired ? 1 : 0);
        const std::vector<std::uint8_t> output = ReadFileBytes(folder / "out.mdf");
        ASSERT_EQ(output.size(), 200 * kPageSize);
        EXPECT_EQ(std::ranges::equal(OutputPage(output, 99), split.FilePages(99, 100)), c.repaired);
        EXPECT_TRUE(std::ranges::equal(OutputPage(output, 98), split.FilePages(98, 99)));
        EXPECT_TRUE(std::ranges::equal(OutputPage(output, 100), split.FilePages(100, 101)));
    }
}

// 512 pages fill the write buffer exactly; the joint page must still be replaceable.
TEST_F(MdfBuilderTest, RepairWorksWhenTheJointPageEndsAFullBuffer) {
    const std::vector rows{disk.PlaceSplit(0, 512, 1000, 8, 20000), disk.Place(512, 600, 20000)};
    const MdfBuildResult result = Build(rows, 600, 8, folder / "out.mdf");
    ASSERT_EQ(result.status, Status::kBuilt) << result.error;
    EXPECT_EQ(result.splitPagesRepaired, 1);
    EXPECT_EQ(ReadFileBytes(folder / "out.mdf"), disk.File());
}

TEST_F(MdfBuilderTest, EveryReadFailingGivesAFullLengthOfZeros) {
    const std::vector rows{ChainDisk::Row(0, 10, 1000), ChainDisk::Row(10, 20, 3000)};
    disk.reader.FailEverything();
    const MdfBuildResult result = Build(rows, 30, 8, folder / "out.mdf");
    ASSERT_EQ(result.status, Status::kBuilt);
    EXPECT_EQ(result.pagesUnreadable, 20);
    EXPECT_EQ(result.pagesCopied, 0);
    const std::vector<std::uint8_t> output = ReadFileBytes(folder / "out.mdf");
    EXPECT_EQ(output.size(), 30 * kPageSize);
    EXPECT_TRUE(IsZero(output));
    std::vector<std::string> expected(10, "read disk error");
    expected.push_back("read disk error ,leftpage"); // the prefix of the second row; no repair from it
    expected.insert(expected.end(), 10, "read disk error");
    EXPECT_EQ(Messages(), expected);
}

TEST_F(MdfBuilderTest, OneUnreadablePageIsZeroAndTheRestIsCopied) {
    const std::vector rows{disk.Place(0, 200, 1000)};
    disk.reader.FailSector(1000 + 70 * kSectorsPerPage + 3);
    const MdfBuildResult result = Build(rows, 200, 8, folder / "out.mdf");
    ASSERT_EQ(result.status, Status::kBuilt);
    EXPECT_EQ(result.pagesUnreadable, 1);
    EXPECT_EQ(result.pagesCopied, 199);
    EXPECT_EQ(Messages(), std::vector<std::string>{"read disk error"});
    const std::vector<std::uint8_t> output = ReadFileBytes(folder / "out.mdf");
    ASSERT_EQ(output.size(), 200 * kPageSize);
    for (std::int32_t page = 0; page < 200; ++page) {
        if (page == 70) {
            EXPECT_TRUE(IsZero(OutputPage(output, page)));
        } else {
            EXPECT_TRUE(std::ranges::equal(OutputPage(output, page), disk.FilePages(page, page + 1))) << page;
        }
    }
}

TEST_F(MdfBuilderTest, CancelledDialogWritesNothing) {
    const MdfBuildResult result = BuildMdf({std::vector{disk.Place(0, 10, 1000)}, "x.mdf", 10, 8}, disk.reader,
                                           observer, [](const std::string&) { return std::nullopt; });
    EXPECT_EQ(result.status, Status::kCancelled);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(MdfBuilderTest, OutputThatCannotBeCreatedIsAnError) {
    const MdfBuildResult result = Build({disk.Place(0, 10, 1000)}, 10, 8, folder / "missing-folder/out.mdf");
    EXPECT_EQ(result.status, Status::kCannotCreate);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(Messages(), std::vector<std::string>{"error,无法创建文件"});
    EXPECT_TRUE(observer.Log(LogPane::Assembly).empty());
}

TEST_F(MdfBuilderTest, FullDiskIsAFailedBuildNotASuccess) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    const MdfBuildResult result = Build({disk.Place(0, 100, 1000)}, 600, 8, "/dev/full");
    EXPECT_EQ(result.status, Status::kWriteFailed);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_NE(result.error.find("No space left"), std::string::npos) << result.error;
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text.rfind("error,", 0), 0u);
    EXPECT_TRUE(observer.Log(LogPane::Assembly).empty()); // no "组合完毕"
}

} // namespace
} // namespace vorthal
