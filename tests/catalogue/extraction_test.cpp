// Extraction of ticked fragments: the combined file with gaps and the page-number check, one
// ".hex" file per fragment, the file name from page 32, the log sequence number of page 0.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "catalogue/extraction.h"
#include "tests/assembly/chain_disk.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using fixtures::ChainDisk;
using fixtures::IsZero;
using fixtures::ReadFileBytes;
using fixtures::RecordingObserver;
using fixtures::TempFolder;

class ExtractionTest : public ::testing::Test {
protected:
    ExtractionDialogs Dialogs() {
        return {[this](const std::string& title, const std::string& proposed) -> std::optional<std::string> {
                    dialogTitles.push_back(title + ":" + proposed);
                    return folder / "combined";
                },
                [this](const std::string& caption) -> std::optional<std::string> {
                    dialogTitles.push_back(caption);
                    return folder.Path().string();
                }};
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : observer.messages) texts.push_back(m.text);
        return texts;
    }

    ChainDisk disk{120, 124000};
    RecordingObserver observer;
    TempFolder folder;
    std::vector<std::string> dialogTitles;
};

TEST_F(ExtractionTest, CombinedFileHasZeroPagesInTheGapAndNoFillAfter) {
    observer.answers = {true, false}; // one combined file, no page-number check
    const std::vector rows{disk.Place(0, 10, 1000), disk.Place(20, 30, 3000)};
    const ExtractionResult result = ExtractTickedFragments(rows, 8, disk.reader, observer, Dialogs());
    EXPECT_EQ(result.outcome, ExtractionOutcome::kSaved);
    EXPECT_EQ(observer.questions, (std::vector<std::string>{"数据文件类型选择: 组合保存成一个文件选是，保存为多个文件选否",
                                                            "数据文件类型选择: 判断页号重复选是，不判断则选否"}));
    EXPECT_EQ(dialogTitles, std::vector<std::string>{"组合文件:noname"});
    const std::vector<std::uint8_t> output = ReadFileBytes(folder / "combined");
    ASSERT_EQ(output.size(), 30 * kPageSize);
    EXPECT_TRUE(std::ranges::equal(std::span(output).first(10 * kPageSize), disk.FilePages(0, 10)));
    EXPECT_TRUE(IsZero(std::span(output).subspan(10 * kPageSize, 10 * kPageSize)));
    EXPECT_TRUE(std::ranges::equal(std::span(output).subspan(20 * kPageSize), disk.FilePages(20, 30)));
    EXPECT_EQ(Messages(), std::vector<std::string>{"保存完毕"});
}

TEST_F(ExtractionTest, OverlappingRowsWithTheCheckWriteNothingAndWithoutItTwice) {
    const std::vector rows{disk.Place(0, 10, 1000), disk.Place(5, 15, 3000)};
    const ExtractionResult refused = ExtractToCombinedFile(rows, true, 8, disk.reader, observer, Dialogs());
    EXPECT_EQ(refused.outcome, ExtractionOutcome::kPagesNotConnected);
    EXPECT_EQ(Messages(), std::vector<std::string>{"error,pageid not connectted:5"});
    EXPECT_TRUE(dialogTitles.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "combined"));

    const ExtractionResult written = ExtractToCombinedFile(rows, false, 8, disk.reader, observer, Dialogs());
    EXPECT_EQ(written.outcome, ExtractionOutcome::kSaved);
    const std::vector<std::uint8_t> output = ReadFileBytes(folder / "combined");
    ASSERT_EQ(output.size(), 20 * kPageSize);
    EXPECT_TRUE(std::ranges::equal(std::span(output).subspan(10 * kPageSize), disk.FilePages(5, 15)));
}

TEST_F(ExtractionTest, CombinedFileRepairsTheSplitPageAtAJoint) {
    const std::vector rows{disk.PlaceSplit(0, 50, 1000, 8, 5000), disk.Place(50, 120, 5000)};
    ASSERT_EQ(ExtractToCombinedFile(rows, true, 8, disk.reader, observer, Dialogs()).outcome, ExtractionOutcome::kSaved);
    EXPECT_EQ(ReadFileBytes(folder / "combined"), disk.File());
}

TEST_F(ExtractionTest, UnreadablePageEndsTheCombinedFile) {
    const std::vector rows{disk.Place(0, 10, 1000), disk.Place(10, 20, 3000)};
    disk.reader.FailSector(3000 + 4 * kSectorsPerPage);
    const ExtractionResult result = ExtractToCombinedFile(rows, false, 16, disk.reader, observer, Dialogs());
    EXPECT_EQ(result.outcome, ExtractionOutcome::kReadFailed);
    EXPECT_EQ(Messages(), std::vector<std::string>{"read disk error"});
    EXPECT_EQ(ReadFileBytes(folder / "combined").size(), 14 * kPageSize); // the pages before it, as written
}

TEST_F(ExtractionTest, OneHexFilePerFragmentNamedByItsStartSector) {
    observer.answers = {false};
    const std::vector rows{disk.Place(0, 2, 123456), disk.Place(40, 43, 2000)};
    const ExtractionResult result = ExtractTickedFragments(rows, 8, disk.reader, observer, Dialogs());
    EXPECT_EQ(result.outcome, ExtractionOutcome::kSaved);
    EXPECT_EQ(dialogTitles, std::vector<std::string>{"保存目录"});
    const std::vector<std::uint8_t> first = ReadFileBytes(folder / "123456.hex");
    const std::vector<std::uint8_t> second = ReadFileBytes(folder / "2000.hex");
    EXPECT_TRUE(std::ranges::equal(first, disk.FilePages(0, 2)));
    EXPECT_TRUE(std::ranges::equal(second, disk.FilePages(40, 43)));
}

TEST_F(ExtractionTest, HexFileThatCannotBeCreatedNamesTheFile) {
    ExtractionDialogs dialogs = Dialogs();
    dialogs.chooseFolder = [this](const std::string&) { return folder / "missing"; };
    const ExtractionResult result = ExtractToFragmentFiles(std::vector{disk.Place(0, 2, 800)}, disk.reader, observer, dialogs);
    EXPECT_EQ(result.outcome, ExtractionOutcome::kCannotCreate);
    EXPECT_EQ(Messages(), std::vector<std::string>{"error,无法创建文件" + (folder / "missing") + "/800.hex"});
}

TEST_F(ExtractionTest, FileNameOnlyFromTickedRowsHoldingPage32UntilTheFirstWithout) {
    const FragmentNumbers whole = disk.Place(0, 100, 1000);
    const FragmentNumbers later = disk.Place(40, 90, 5000);
    EXPECT_EQ(ShowTickedFileNames(std::vector{whole, later}, disk.reader, observer),
              std::vector<std::string>{"C:\\Data\\fixture.mdf"});
    EXPECT_EQ(Messages(), std::vector<std::string>{"C:\\Data\\fixture.mdf"});
    EXPECT_TRUE(ShowTickedFileNames(std::vector{later, whole}, disk.reader, observer).empty());
    const FragmentNumbers noName = disk.Place(30, 40, 7000);
    disk.reader.Put(7000 + 2 * kSectorsPerPage, disk.FilePages(33, 34));
    EXPECT_EQ(ShowTickedFileNames(std::vector{noName}, disk.reader, observer), std::vector<std::string>{"none"});
}

TEST(LogSequenceNumberText, TwentyCapitalDigitsMostSignificantFirst) {
    fixtures::Page page{};
    StoreLE32(page.data() + 40, 0x0000002Au);
    StoreLE32(page.data() + 44, 0xABCDEF01u);
    StoreLE16(page.data() + 48, 0x00FFu);
    EXPECT_EQ(LogSequenceNumberText(page), "0000002AABCDEF0100FF");
}

TEST_F(ExtractionTest, LogSequenceNumberIsAppendedOnEveryRunToRowsAtPageZero) {
    std::vector<Fragment> rows(2);
    static_cast<FragmentNumbers&>(rows[0]) = disk.Place(0, 10, 1000);
    rows[0].memo = "  C:\\Data\\fixture.mdf:960KB ";
    static_cast<FragmentNumbers&>(rows[1]) = disk.Place(10, 20, 3000);
    const std::string lsn = LogSequenceNumberText(fixtures::PageOfFile(disk.File(), 0));
    ASSERT_TRUE(AppendLogSequenceNumbers(rows, disk.reader, observer));
    ASSERT_TRUE(AppendLogSequenceNumbers(rows, disk.reader, observer));
    EXPECT_EQ(rows[0].memo, "C:\\Data\\fixture.mdf:960KB " + lsn + " " + lsn);
    EXPECT_EQ(rows[1].memo, " ");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"处理完毕", "处理完毕"}));

    disk.reader.FailEverything();
    EXPECT_FALSE(AppendLogSequenceNumbers(rows, disk.reader, observer));
    EXPECT_EQ(observer.messages.back().text, "read disk error");
}

} // namespace
} // namespace vorthal
