// The second search's own cases: its early ends, the gap rules, and the page-32 name step for
// a first fragment too short to hold page 32, with and without a page split at a cluster
// boundary.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/second_search.h"
#include "tests/analysis/chain_scenarios.h"

namespace vorthal {
namespace {

using fixtures::Protection;
using testing::ChainBench;
using testing::GapFile;

TEST(CollectGapCandidates, OnlyFragmentsWhollyInsideTheGapInIndexOrder) {
    fixtures::FragmentImage image;
    const struct {
        std::int32_t begin;
        std::int32_t pages;
    } lines[] = {{99, 5}, {100, 10}, {120, 10}, {140, 10}, {145, 5}, {145, 6}, {150, 3}, {100, 50}};
    for (const auto& l : lines) image.RecordLine(1000 * l.begin, l.pages, l.begin);
    image.BuildIndex();
    std::vector<std::int32_t> lineIndexes;
    for (std::size_t k : CollectGapCandidates(image.index, 100, 150)) lineIndexes.push_back(image.index[k].lineIndex);
    std::sort(lineIndexes.begin(), lineIndexes.end());
    EXPECT_EQ(lineIndexes, (std::vector<std::int32_t>{1, 2, 3, 4, 7}));
    const std::vector<std::size_t> positions = CollectGapCandidates(image.index, 100, 150);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_TRUE(CollectGapCandidates(image.index, 130, 140).empty());
}

TEST(SecondSearch, EndsEarlyOnAListNotStartingAtPageZeroOrOnOverlappingRows) {
    const struct {
        const char* name;
        std::vector<std::size_t> chained;  // lines of the GapFile in the list
        std::int32_t sizePages;
        SecondSearchEnd end;
        bool errorMessage;
    } cases[] = {
        {"empty list", {}, 320, SecondSearchEnd::kNoFirstPageRow, false},
        {"first row at page 40", {1, 3}, 320, SecondSearchEnd::kNoFirstPageRow, false},
        {"last row past the file size", {0, 1, 2, 3}, 200, SecondSearchEnd::kRowsOverlap, true},
        {"overlapping rows", {0, 1, 5}, 320, SecondSearchEnd::kRowsOverlap, true},
    };
    for (const auto& c : cases) {
        ChainBench bench;
        const GapFile file(Protection::kChecksum);
        file.PlaceAll(bench.image);
        bench.image.AddFragment(file.pages, 100, 30, 40000);  // line 5: [100,130)
        bench.image.BuildIndex();
        bench.state.file.sizePages = c.sizePages;
        for (std::size_t line : c.chained) bench.state.states.Chain(line);
        FillCombinationList(bench.state.combination, bench.image.fragments, bench.state.states);
        bench.Memo3() = {"old line"};
        const SecondSearchResult result = SecondSearch(bench.state, bench.Inputs());
        EXPECT_EQ(result.end, c.end) << c.name;
        EXPECT_TRUE(bench.Memo3().empty()) << c.name;
        EXPECT_EQ(bench.observer.messages.size(), c.errorMessage ? 1u : 0u) << c.name;
        if (c.errorMessage) {
            EXPECT_EQ(bench.observer.messages[0].text, "error") << c.name;
        }
        // The buttons stay disabled after an early end.
        EXPECT_FALSE(bench.state.combination.searchMoreEnabled || bench.state.combination.buildEnabled) << c.name;
    }
}

TEST(SecondSearch, ARejectedCandidateIsNeverTaken) {
    ChainBench bench;
    const GapFile file(Protection::kChecksum);
    for (std::size_t f : {0u, 1u, 3u}) bench.image.AddFragment(file.pages, GapFile::kBegins[f], GapFile::kBegins[f + 1] - GapFile::kBegins[f], GapFile::kStarts[f]);
    fixtures::DatabaseSpec other = testing::GapFileSpec(Protection::kChecksum);
    other.objects = {{.objectId = 4242, .iamPage = 200, .firstPage = 120, .pageCount = 16}};
    bench.image.AddFragment(fixtures::BuildDatabasePages(other), 120, 16, 40000);
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    bench.image.ForgetReads();
    const SecondSearchResult result = SecondSearch(bench.state, bench.Inputs());
    EXPECT_EQ(result.found, 0);
    EXPECT_EQ(bench.Memo3(), std::vector<std::string>{"本次找到碎片数量0。二次查找完毕"});
    EXPECT_EQ(bench.image.ReadsOf(40000), 1);
}

// A file of 200 pages whose path is long enough that ".mdf" lies in the second half of page 32.
struct NameCase {
    const char* name;
    std::int32_t firstPages;
    bool splitPage32;            // page 32 ends its fragment and its second half lies before the next
    std::int64_t sectorsPerCluster;
    bool nameFound;
};

class NameStepTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameStepTest, TheNameComesFromTheRowHoldingPage32) {
    const NameCase& c = GetParam();
    fixtures::DatabaseSpec spec;
    spec.pages = 200;
    spec.path = u"C:\\" + std::u16string(1900, u'x') + u".mdf";
    spec.objects = {{.objectId = 1001, .iamPage = 2, .firstPage = 8, .pageCount = 24},
                    {.objectId = 1002, .iamPage = 3, .firstPage = 40, .pageCount = 160}};
    const std::vector<fixtures::Page> pages = fixtures::BuildDatabasePages(spec);
    const std::string path = "C:\\" + std::string(1900, 'x') + ".mdf";

    ChainBench bench;
    bench.sectorsPerCluster = c.sectorsPerCluster;
    bench.image.AddFragment(pages, 0, c.firstPages, 1000);
    const std::int32_t secondEnd = c.splitPage32 ? 33 : 100;
    bench.image.AddFragment(pages, c.firstPages, secondEnd - c.firstPages, 2000);
    bench.image.AddFragment(pages, secondEnd, 200 - secondEnd, 5000);
    if (c.splitPage32) {
        // The cluster after page 32's first half went elsewhere: its place holds foreign bytes,
        // the true second half lies in the 8 sectors before the next fragment.
        const SectorNumber page32 = 2000 + 16 * (32 - c.firstPages);
        const auto& intact = pages[32];
        bench.image.WriteBytes(page32 + 8, std::vector<std::uint8_t>(4096, 0x33));
        bench.image.WriteBytes(5000 - 8, std::span<const std::uint8_t>(intact.data() + 4096, 4096));
    }
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    EXPECT_EQ(bench.state.file.fileName, "c:\\noname.mdf");
    ASSERT_EQ(bench.RowLines(), (std::vector<std::size_t>{0, 1, 2}));

    const SecondSearchResult result = SecondSearch(bench.state, bench.Inputs());
    EXPECT_EQ(result.end, SecondSearchEnd::kCompleted);
    EXPECT_EQ(bench.Memo3(), std::vector<std::string>{"本次找到碎片数量0。二次查找完毕"});
    const std::string expectedName = c.nameFound ? path : "";
    EXPECT_EQ(bench.state.file.fileName, expectedName);
    EXPECT_EQ(bench.state.combination.rows.front().memo, expectedName + ":1600KB");
    EXPECT_EQ(bench.observer.messages.size(), c.nameFound ? 0u : 1u);
    if (!c.nameFound) {
        EXPECT_EQ(bench.observer.messages[0].text, "get fileinfo2 error");
    }
    EXPECT_TRUE(bench.state.combination.buildEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameStepTest,
    ::testing::Values(NameCase{"two_pages", 2, false, 16, true}, NameCase{"thirty_two_pages", 32, false, 16, true},
                      NameCase{"split_eight_sectors", 2, true, 8, true},
                      NameCase{"split_one_sector", 2, true, 1, true},
                      NameCase{"split_without_cluster_size", 2, true, 0, false},
                      NameCase{"split_whole_page_clusters", 2, true, 16, false}),
    [](const ::testing::TestParamInfo<NameCase>& param) { return std::string(param.param.name); });

TEST(SecondSearch, NoRowHoldingPage32LeavesTheNoNameName) {
    ChainBench bench;
    const GapFile file(Protection::kChecksum);
    bench.image.AddFragment(file.pages, 0, 2, 10000);
    bench.image.AddFragment(file.pages, 40, 80, 12000);
    ASSERT_EQ(bench.Analyse(0), ChainOutcome::kCompleted);
    SecondSearch(bench.state, bench.Inputs());
    EXPECT_EQ(bench.state.combination.rows.front().memo, "c:\\noname.mdf:2560KB");
}

} // namespace
} // namespace vorthal
