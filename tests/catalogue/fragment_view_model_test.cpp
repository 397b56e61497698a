// The rows of the fragment list view: which lines show, their numbers, the filter that rewrites
// the flags, the sort by each column, the tick tools and the statistics, and rows the scan adds
// and takes back while the operator may have sorted the view.
#include "catalogue/fragment_view_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/fragment_line.h"

namespace vorthal {
namespace {

std::string Line(std::int32_t number, SectorNumber start, std::int32_t beginPage, std::int32_t pages,
                 const std::string& memo = " ", bool visible = true) {
    Fragment fragment;
    fragment.number = number;
    fragment.startSector = start;
    fragment.endSector = start + std::int64_t{pages} * kSectorsPerPage;
    fragment.sizeKb = std::int64_t{pages} * 8;
    fragment.beginPage = beginPage;
    fragment.endPage = beginPage + pages;
    fragment.memo = memo;
    fragment.visible = visible;
    return BuildFragmentLine(fragment);
}

FragmentList ListOf(const std::vector<std::string>& lines) {
    FragmentList list;
    for (const std::string& line : lines)
        list.Append(line);
    return list;
}

std::vector<std::int32_t> BeginPages(const FragmentViewModel& model) {
    std::vector<std::int32_t> pages;
    for (std::size_t i = 0; i < model.RowCount(); ++i)
        pages.push_back(model.Row(i).beginPage);
    return pages;
}

std::vector<std::int64_t> RowNumbers(const FragmentViewModel& model) {
    std::vector<std::int64_t> numbers;
    for (std::size_t i = 0; i < model.RowCount(); ++i)
        numbers.push_back(model.Row(i).rowNumber);
    return numbers;
}

TEST(FragmentViewModel, FillShowsLinesNotFlaggedNNumberedFromOneInListOrder) {
    FragmentList list = ListOf({Line(1, 100, 10, 2), Line(2, 300, 0, 40, "db.mdf 1.00 MB", false),
                                Line(3, 900, 7, 3), "4|1000|1016|8|2|3| | N |"});
    FragmentViewModel model;
    model.Fill(list);
    ASSERT_EQ(model.RowCount(), 2u);
    EXPECT_EQ(BeginPages(model), (std::vector<std::int32_t>{10, 7}));
    EXPECT_EQ(RowNumbers(model), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(model.Row(1).lineIndex, 2u);
    EXPECT_EQ(model.CellText(1, kColumnSizeKb), "24");
    EXPECT_EQ(model.CellText(1, kColumnEndPage), "10");
    EXPECT_EQ(model.CellText(1, kColumnStartSector), "900");
    EXPECT_EQ(model.CellText(1, kColumnEndSector), "948");
    EXPECT_EQ(model.CellText(0, kColumnRowNumber), "1");

    model.Fill(FragmentList());
    EXPECT_EQ(model.RowCount(), 0u);
    EXPECT_EQ(StatisticsMessage(model.Statistics()), "统计结果:碎片数量为0总大小为:0KB");
}

struct FilterCase {
    const char* name;
    FragmentFilter filter;
    std::vector<std::int32_t> shownBeginPages;
};

class FragmentFilterTest : public ::testing::TestWithParam<FilterCase> {};

// Fragments: pages 0-39, 100-109, 110-114, 200-200 (one page).
TEST_P(FragmentFilterTest, RewritesOnlyTheFlagsAndTheRefillShowsTheLinesLeftVisible) {
    const std::vector<std::string> lines = {Line(1, 0, 0, 40, "a.mdf"), Line(2, 800, 100, 10),
                                            Line(3, 960, 110, 5, " ", false), Line(4, 2000, 200, 1)};
    FragmentList list = ListOf(lines);
    FragmentViewModel model;
    model.Fill(list);
    model.TickAll();

    ApplyFragmentFilter(list, GetParam().filter);
    model.Fill(list);

    EXPECT_EQ(BeginPages(model), GetParam().shownBeginPages);
    EXPECT_EQ(model.Statistics().count, 0); // a refill clears every tick
    ASSERT_EQ(list.Count(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Everything but the flag stays; hidden lines stay in the list.
        EXPECT_EQ(list.Line(i).substr(0, list.Line(i).size() - 2),
                  std::string_view(lines[i]).substr(0, lines[i].size() - 2));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FragmentFilterTest,
    ::testing::Values(FilterCase{"ShowAll", {FragmentFilter::Kind::kShowAll}, {0, 100, 110, 200}},
                      FilterCase{"RangeLowInclusiveHighExclusive",
                                 {FragmentFilter::Kind::kBeginPageRange, 100, 200},
                                 {100, 110}},
                      FilterCase{"EmptyRangeHidesAll", {FragmentFilter::Kind::kBeginPageRange, 100, 100}, {}},
                      FilterCase{"PageAtBeginShows", {FragmentFilter::Kind::kContainsPage, 0, 0, 110}, {110}},
                      FilterCase{"PageAtEndIsOutside", {FragmentFilter::Kind::kContainsPage, 0, 0, 115}, {}},
                      FilterCase{"PageInside", {FragmentFilter::Kind::kContainsPage, 0, 0, 39}, {0}}),
    [](const ::testing::TestParamInfo<FilterCase>& filterCase) { return filterCase.param.name; });

TEST(FragmentViewModel, FilterKeepsTheFlagOfALineWhoseNumbersCannotBeRead) {
    FragmentList list = ListOf({"1|x|16|8|5|6| |Y|", Line(2, 800, 100, 10)});
    ApplyFragmentFilter(list, {FragmentFilter::Kind::kBeginPageRange, 0, 1});
    EXPECT_EQ(list.Line(0), "1|x|16|8|5|6| |Y|");
    EXPECT_EQ(list.Line(1).substr(list.Line(1).size() - 2), "N|");
}

struct SortCase {
    int column;
    std::vector<std::int32_t> beginPagesAfter;
};

class FragmentSortTest : public ::testing::TestWithParam<SortCase> {};

// Rows chosen so that each column orders them differently, text order differing from numeric.
TEST_P(FragmentSortTest, SortsAscendingByTheColumn) {
    FragmentList list = ListOf({Line(1, 3000000000, 10, 9, "beta"), // start beyond 32 bits
                                Line(2, 2000, 9, 1, "Alpha"),       //
                                Line(3, 100, 100, 20, "gamma"),     //
                                Line(4, 50000, 0, 2, "ALPHA2")});
    FragmentViewModel model;
    model.Fill(list);
    model.SortByColumn(kColumnSizeKb); // any order first: the row numbers go with their rows
    model.SortByColumn(GetParam().column);
    EXPECT_EQ(BeginPages(model), GetParam().beginPagesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, FragmentSortTest,
    ::testing::Values(SortCase{kColumnRowNumber, {10, 9, 100, 0}}, SortCase{kColumnSizeKb, {9, 0, 10, 100}},
                      SortCase{kColumnBeginPage, {0, 9, 10, 100}}, SortCase{kColumnEndPage, {0, 9, 10, 100}},
                      SortCase{kColumnMemo, {9, 0, 10, 100}}, SortCase{kColumnStartSector, {100, 9, 0, 10}},
                      SortCase{kColumnEndSector, {100, 9, 0, 10}}, SortCase{9, {9, 0, 10, 100}}));

TEST(FragmentViewModel, SortKeepsTheOrderOfEqualRows) {
    FragmentList list = ListOf({Line(1, 100, 5, 1, "b"), Line(2, 200, 6, 1, "A"), Line(3, 300, 7, 1, "a")});
    FragmentViewModel model;
    model.Fill(list);
    model.SortByColumn(kColumnMemo);
    EXPECT_EQ(BeginPages(model), (std::vector<std::int32_t>{6, 7, 5}));
    model.SortByColumn(kColumnSizeKb);
    EXPECT_EQ(BeginPages(model), (std::vector<std::int32_t>{6, 7, 5}));
}

TEST(FragmentViewModel, TextComparisonIgnoresAsciiCaseAndPutsAPrefixFirst) {
    EXPECT_EQ(CompareIgnoringAsciiCase("abc", "ABC"), 0);
    EXPECT_LT(CompareIgnoringAsciiCase("AB", "abc"), 0);
    EXPECT_GT(CompareIgnoringAsciiCase("b", "A"), 0);
    EXPECT_LT(CompareIgnoringAsciiCase("Z", "["), 0); // '[' follows 'Z', and so follows 'z' too
    EXPECT_LT(CompareIgnoringAsciiCase("z", "["), 0);
    EXPECT_GT(CompareIgnoringAsciiCase("\xE6\x97\xA0", "z"), 0); // bytes above 127 by value
}

TEST(FragmentViewModel, TickToolsAndStatistics) {
    FragmentList list =
        ListOf({Line(1, 0, 0, 40), Line(2, 800, 100, 10), Line(3, 960, 120, 5), Line(4, 2000, 200, 1)});
    FragmentViewModel model;
    model.Fill(list);
    model.SetTicked(0, true);
    model.SetTicked(2, true);
    model.InvertTicks();
    EXPECT_FALSE(model.Row(0).ticked);
    EXPECT_TRUE(model.Row(1).ticked);
    EXPECT_FALSE(model.Row(2).ticked);
    EXPECT_TRUE(model.Row(3).ticked);
    EXPECT_EQ(StatisticsMessage(model.Statistics()), "统计结果:碎片数量为2总大小为:88KB");

    model.TickAll();
    EXPECT_EQ(model.Statistics().count, 4);
    EXPECT_EQ(model.Statistics().totalKb, 320 + 80 + 40 + 8);
    model.ClearTicks();
    EXPECT_EQ(model.Statistics().count, 0);
    EXPECT_EQ(model.Statistics().totalKb, 0);
}

TEST(FragmentViewModel, StatisticsAddUpBeyond32Bits) {
    FragmentList list = ListOf({Line(1, 0, 0, 300000000), Line(2, 5000000000, 300000000, 300000000)});
    FragmentViewModel model;
    model.Fill(list);
    model.TickAll();
    EXPECT_EQ(model.Statistics().totalKb, std::int64_t{4800000000});
}

TEST(FragmentViewModel, ScanRowsAreAppendedAndTheLastLineRemovedWhereverItWasSorted) {
    FragmentList list = ListOf({Line(1, 100, 50, 2), Line(2, 300, 60, 2, " ", false)});
    FragmentViewModel model;
    model.Fill(list);
    ASSERT_TRUE(model.AppendLine(Line(1, 5000, 3, 4)));
    ASSERT_TRUE(model.AppendLine(Line(2, 6000, 1, 4)));
    EXPECT_EQ(RowNumbers(model), (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(model.Row(2).lineIndex, 3u); // after the two lines of the list

    model.SortByColumn(kColumnBeginPage);
    EXPECT_EQ(BeginPages(model), (std::vector<std::int32_t>{1, 3, 50}));
    ASSERT_EQ(model.RowOfLastLine(), 0u);
    model.RemoveLastLine(); // a run joined the last fragment
    EXPECT_EQ(BeginPages(model), (std::vector<std::int32_t>{3, 50}));
    ASSERT_TRUE(model.AppendLine(Line(2, 6000, 1, 9)));
    EXPECT_EQ(model.Row(2).rowNumber, 3);
    EXPECT_EQ(model.Row(2).sizeKb, 72);

    EXPECT_FALSE(model.AppendLine("not a fragment line"));
    EXPECT_EQ(model.RowCount(), 3u);
    EXPECT_FALSE(model.RowOfLastLine().has_value()); // the line without a row
    model.RemoveLastLine();
    EXPECT_EQ(model.RowOfLastLine(), 2u);
}

TEST(FragmentViewModel, RemovingTheLastLineOfAHiddenLineLeavesTheRows) {
    FragmentList list = ListOf({Line(1, 100, 50, 2), Line(2, 300, 60, 2, " ", false)});
    FragmentViewModel model;
    model.Fill(list);
    EXPECT_FALSE(model.RowOfLastLine().has_value());
    model.RemoveLastLine();
    EXPECT_EQ(model.RowCount(), 1u);
    EXPECT_EQ(model.RowOfLastLine(), 0u);
}

} // namespace
} // namespace vorthal
