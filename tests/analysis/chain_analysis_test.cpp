// The chain analysis over generated files cut into fragments: what it chains, in which order,
// how it chooses among competitors, and how it ends on every failure.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/chain_analysis.h"
#include "analysis/second_search.h"
#include "tests/analysis/chain_scenarios.h"

namespace vorthal {
namespace {

using fixtures::Protection;
using testing::ChainBench;
using testing::GapFile;
using testing::ScriptedChooser;

const std::string kCompleted = "分析已正常结束,请组合前进行二次查找";

class GapChainTest : public ::testing::TestWithParam<Protection> {};

// The whole road on a file with two gaps: the analysis leaves a gap where the evidence comes
// later (C's pages) and one without evidence (free pages); the second search fills both.
TEST_P(GapChainTest, AnalysisLeavesGapsThatTheSecondSearchFills) {
    ChainBench bench;
    GapFile(GetParam()).PlaceAll(bench.image);
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_EQ(bench.Memo2(), (std::vector<std::string>{"找到碎片号1", "找到碎片号3", kCompleted}));
    EXPECT_EQ(bench.RowLines(), (std::vector<std::size_t>{0, 1, 3}));
    EXPECT_EQ(bench.state.file.fileName, "C:\\Data\\fixture.mdf");
    EXPECT_EQ(bench.state.file.sizePages, 320);
    EXPECT_EQ(bench.state.file.currentLine, 3);
    EXPECT_TRUE(bench.observer.messages.empty());

    const SecondSearchResult result = SecondSearch(bench.state, bench.Inputs());
    EXPECT_EQ(result.end, SecondSearchEnd::kCompleted);
    EXPECT_EQ(result.passes, 2);
    EXPECT_EQ(result.found, 2);
    EXPECT_EQ(bench.Memo3(), (std::vector<std::string>{"找到碎片号2", "找到未确定碎片号4", "本次找到碎片数量2。二次查找完毕",
                                                       "本次找到碎片数量0。二次查找完毕"}));
    EXPECT_EQ(bench.RowLines(), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    // The first fragment held page 32: its memo stays the scan's.
    EXPECT_EQ(bench.state.combination.rows.front().memo, "C:\\Data\\fixture.mdf(2.50 MB)");
    EXPECT_TRUE(bench.state.combination.buildEnabled);
    EXPECT_EQ(bench.state.pageMap.At(125).owner, testing::kObjectC);
}

INSTANTIATE_TEST_SUITE_P(Protections, GapChainTest, ::testing::Values(Protection::kChecksum, Protection::kTornBits));

// Another copy of pages 40..119 at `competitorSector`: automatic mode takes the nearer one to
// the first fragment (at 10000); at equal distance the earlier one in the index.
TEST(ChainChoice, SameBeginPageTheNearestOnTheDiskWinsThenTheEarlierInTheIndex) {
    const struct {
        SectorNumber competitorSector;
        bool competitorWins;
    } cases[] = {{30000, false}, {8720, true}, {8000, false /* decided by the index below */}};
    for (const auto& c : cases) {
        ChainBench bench;
        const GapFile file(Protection::kChecksum);
        file.PlaceAll(bench.image);
        const std::size_t competitor = bench.image.AddFragment(file.pages, 40, 80, c.competitorSector);
        ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
        std::size_t expected = c.competitorWins ? competitor : 1;
        if (c.competitorSector == 8000) {
            // 2000 sectors either side of the first fragment: the earlier position wins.
            const auto& index = bench.image.index;
            const std::size_t at = index.FirstPositionAtOrAfter(40);
            expected = static_cast<std::size_t>(index[at].lineIndex);
        }
        EXPECT_EQ(bench.Memo2().front(), "找到碎片号" + std::to_string(expected)) << c.competitorSector;
    }
}

TEST(ChainChoice, AFragmentOfAnotherObjectIsRejectedAfterOnePage) {
    ChainBench bench;
    GapFile(Protection::kChecksum).PlaceAll(bench.image);
    fixtures::DatabaseSpec other = testing::GapFileSpec(Protection::kChecksum);
    other.objects = {{.objectId = 777, .iamPage = 3, .firstPage = 40, .pageCount = 80}};
    const std::size_t foreign = bench.image.AddFragment(fixtures::BuildDatabasePages(other), 40, 80, 40000);
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_EQ(bench.image.ReadsOf(40000), 1);
    EXPECT_EQ(bench.RowLines(), (std::vector<std::size_t>{0, 1, 3}));
    EXPECT_FALSE(bench.state.states.IsChained(foreign));
}

TEST(ChainChoice, OverlappingFitsWithOtherBeginPagesTakeTheLowerOne) {
    ChainBench bench;
    const GapFile file(Protection::kChecksum);
    file.PlaceAll(bench.image);
    const std::size_t later = bench.image.AddFragment(file.pages, 48, 72, 10700);  // nearer, but begins later
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_EQ(bench.Memo2().front(), "找到碎片号1");
    EXPECT_FALSE(bench.state.states.IsChained(later));
}

TEST(ChainChoice, TheOperatorChoosesAmongSeveralOrCancels) {
    for (const std::optional<std::size_t> pick : {std::optional<std::size_t>(1), std::optional<std::size_t>()}) {
        ChainBench bench;
        const GapFile file(Protection::kChecksum);
        file.PlaceAll(bench.image);
        const std::size_t competitor = bench.image.AddFragment(file.pages, 40, 80, 30000);
        bench.state.combination.rows = {CombinationRow{.caption = 1, .memo = "earlier"}};
        ScriptedChooser chooser;
        chooser.pickIndex = pick;
        bench.chooser = &chooser;
        const ChainOutcome outcome = bench.Analyse(0);
        ASSERT_EQ(chooser.asked.size(), 1u);
        ASSERT_EQ(chooser.asked[0].size(), 2u);
        EXPECT_EQ(chooser.askedCurrentLines[0], 0);
        if (pick) {
            EXPECT_EQ(outcome, ChainOutcome::kCompleted);
            const auto chosenLine = static_cast<std::size_t>(bench.image.index[chooser.asked[0][1]].lineIndex);
            EXPECT_EQ(bench.Memo2().front(), "找到碎片号" + std::to_string(chosenLine));
        } else {
            EXPECT_EQ(outcome, ChainOutcome::kCancelled);
            EXPECT_EQ(bench.Memo2(), std::vector<std::string>{"用户终止"});
            ASSERT_EQ(bench.state.combination.rows.size(), 1u);
            EXPECT_EQ(bench.state.combination.rows[0].memo, "earlier");
            EXPECT_TRUE(bench.state.states.IsChained(0));
            EXPECT_FALSE(bench.state.states.IsChained(competitor));
        }
    }
}

struct FailureCase {
    const char* name;
    SectorNumber failingSector;  // 0: none
    bool noSizeInPage0;
    std::vector<fixtures::RecordedMessage> messages;
    std::vector<std::string> memo2;
};

TEST(ChainFailures, EachFailureEndsTheRunWithItsMessageAndKeepsTheEarlierList) {
    const FailureCase cases[] = {
        {"page 0 unreadable", 10000, false, {{"mess", "read disk error", MessageIcon::Information}}, {}},
        {"no size in page 0", 0, true, {{"mess", "get fileinfo1 error", MessageIcon::Information}}, {}},
        {"page 32 unreadable", 10000 + 32 * 16, false, {{"提示", "read disk error", MessageIcon::Information}}, {}},
        {"first fragment's evidence unreadable", 10000 + 5 * 16, false,
         {{"提示", "read disk error", MessageIcon::Information}, {"提示", "get page info error", MessageIcon::Information}}, {}},
        // page 70 of line 1: classified with what was read before, then its evidence fails
        {"chosen fragment unreadable", 12000 + 30 * 16, false,
         {{"提示", "read disk error", MessageIcon::Information}, {"提示", "read disk error", MessageIcon::Information}},
         {"找到碎片号1", "get page info error,碎片号1"}},
    };
    for (const FailureCase& c : cases) {
        ChainBench bench;
        GapFile file(Protection::kChecksum);
        if (c.noSizeInPage0) file.pages[0] = fixtures::Page{};
        file.PlaceAll(bench.image);
        if (c.failingSector != 0) bench.image.FailSector(c.failingSector);
        bench.state.combination.rows = {CombinationRow{.caption = 1, .memo = "earlier"}};
        EXPECT_EQ(bench.Analyse(0), ChainOutcome::kFailed) << c.name;
        ASSERT_EQ(bench.observer.messages.size(), c.messages.size()) << c.name;
        for (std::size_t m = 0; m < c.messages.size(); ++m) {
            EXPECT_EQ(bench.observer.messages[m].title, c.messages[m].title) << c.name;
            EXPECT_EQ(bench.observer.messages[m].text, c.messages[m].text) << c.name;
        }
        EXPECT_EQ(bench.Memo2(), c.memo2) << c.name;
        ASSERT_EQ(bench.state.combination.rows.size(), 1u) << c.name;
        EXPECT_FALSE(bench.state.analysisRunning.load()) << c.name;
    }
}

TEST(ChainRun, NoSelectedRowDoesNothingAndABusyPageMapRefuses) {
    ChainBench bench;
    GapFile(Protection::kChecksum).PlaceAll(bench.image);
    bench.image.BuildIndex();
    EXPECT_EQ(AnalyseChain(bench.state, bench.Inputs(), std::nullopt), ChainOutcome::kNoRowSelected);
    EXPECT_EQ(bench.image.TotalReads(), 0);
    EXPECT_TRUE(bench.observer.messages.empty());

    bench.state.analysisRunning = true;
    EXPECT_EQ(bench.Analyse(0), ChainOutcome::kBusy);
    EXPECT_EQ(SecondSearch(bench.state, bench.Inputs()).end, SecondSearchEnd::kBusy);
    EXPECT_TRUE(RefusedWhileAnalysing(bench.state, bench.observer));
    EXPECT_EQ(bench.image.TotalReads(), 0);
    ASSERT_EQ(bench.observer.messages.size(), 3u);
    for (const auto& message : bench.observer.messages) EXPECT_EQ(message.text, "分析尚未结束");
    // Still held by whoever set it; a finished run releases only its own hold.
    EXPECT_TRUE(bench.state.analysisRunning.load());
    bench.state.analysisRunning = false;
    EXPECT_FALSE(RefusedWhileAnalysing(bench.state, bench.observer));
    EXPECT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_FALSE(bench.state.analysisRunning.load());
}

TEST(ChainRun, WithNoOtherFittingFragmentOnlyTheFirstIsListed) {
    ChainBench bench;
    const GapFile file(Protection::kChecksum);
    bench.image.AddFragment(file.pages, 0, 40, 10000);
    bench.image.AddFragment(file.pages, 256, 64, 20000);  // free pages: no evidence
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_EQ(bench.Memo2(), std::vector<std::string>{kCompleted});
    EXPECT_EQ(bench.RowLines(), std::vector<std::size_t>{0});
    EXPECT_EQ(bench.state.combination.rows[0].image, kFirstPageImage);
}

// A file of 8,200 pages under torn-page detection: the second PFS page (8088) lies in the
// fragment chained first after the first one, and the pages behind it are matched by their
// IAM page's claims.
TEST(ChainRun, AFileOfSeveralPfsPagesIsChainedWhole) {
    fixtures::DatabaseSpec spec;
    spec.pages = 8200;
    spec.protection = Protection::kTornBits;
    spec.objects = {{.objectId = 501, .iamPage = 2, .firstPage = 40, .pageCount = 8048},
                    {.objectId = 502, .iamPage = 3, .firstPage = 8096, .pageCount = 104}};
    const std::vector<fixtures::Page> pages = fixtures::BuildDatabasePages(spec);
    ChainBench bench;
    bench.image.AddFragment(pages, 0, 100, 1000);
    bench.image.AddFragment(pages, 8100, 100, 140000);
    bench.image.AddFragment(pages, 100, 7990, 3000);
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_EQ(bench.Memo2(), (std::vector<std::string>{"找到碎片号2", "找到碎片号1", kCompleted}));
    EXPECT_EQ(bench.state.pageMap.Size(), 8200);
    EXPECT_EQ(bench.state.pageMap.At(8088).owner, kAllocationPageObjectId);
    EXPECT_EQ(bench.state.pageMap.At(8150).allocation, kPageAllocated);
    EXPECT_EQ(bench.state.pageMap.At(8150).owner, 502);
    EXPECT_EQ(bench.state.pageMap.At(8090).allocation, kPageFree);
}

} // namespace
} // namespace vorthal
