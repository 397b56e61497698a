// The combination list as data: rows from the chained lines in list order, the sort by the
// shared column with the button rule, and the hand-added fragments of the fragment list view.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/combination_list.h"
#include "tests/fixtures/fragment_image.h"

namespace vorthal {
namespace {

std::vector<std::int32_t> BeginPages(const CombinationList& list) {
    std::vector<std::int32_t> pages;
    for (const CombinationRow& row : list.rows) pages.push_back(row.beginPage);
    return pages;
}

struct CombinationTest : ::testing::Test {
    fixtures::FragmentImage image;
    FragmentState states;
    CombinationList list;
    int sortColumn = 0;

    void SetUp() override {
        image.RecordLine(5000, 10, 1000, "b");  // line 0
        image.RecordLine(100, 40, 0, "A");       // line 1
        image.RecordLine(9000, 5, 200, "c");     // line 2
        image.RecordLine(7000, 3, 40, " ");      // line 3, not chained
        states.Reset(image.fragments.Count());
        for (std::size_t line : {0u, 1u, 2u}) states.Chain(line);
        FillCombinationList(list, image.fragments, states);
    }
};

TEST_F(CombinationTest, RowsComeInListOrderWithTheirFieldsAndImages) {
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(BeginPages(list), (std::vector<std::int32_t>{1000, 0, 200}));
    const CombinationRow& first = list.rows[1];
    EXPECT_EQ(first, (CombinationRow{.caption = 2, .sizeKb = 320, .beginPage = 0, .endPage = 40, .memo = "A",
                                     .startSector = 100, .endSector = 740, .lineIndex = 1, .image = kFirstPageImage}));
    EXPECT_EQ(list.rows[0].image, kPlainFragmentImage);
    // The buttons keep their start state: only SEARCH MORE.
    EXPECT_TRUE(list.searchMoreEnabled);
    EXPECT_FALSE(list.checkEnabled || list.buildEnabled);
}

TEST_F(CombinationTest, SortingByAColumnSetsTheSharedColumnAndTheButtons) {
    const struct {
        int column;
        std::vector<std::int32_t> beginPages;
        bool buttons;
    } cases[] = {
        {kColumnBeginPage, {0, 200, 1000}, true},   // numbers, not text: 200 before 1000
        {kColumnSizeKb, {200, 1000, 0}, false},
        {kColumnEndPage, {0, 200, 1000}, false},
        {kColumnMemo, {0, 1000, 200}, false},       // "A", "b", "c" ignoring case
        {kColumnRowNumber, {1000, 0, 200}, false},
        {kColumnStartSector, {0, 1000, 200}, false},  // "100", "5000", "9000" as text
    };
    for (const auto& c : cases) {
        ListView4ColumnClick(list, sortColumn, c.column);
        EXPECT_EQ(sortColumn, c.column);
        EXPECT_EQ(BeginPages(list), c.beginPages) << c.column;
        EXPECT_EQ(list.searchMoreEnabled, c.buttons) << c.column;
        EXPECT_EQ(list.checkEnabled, c.buttons) << c.column;
        EXPECT_EQ(list.buildEnabled, c.buttons) << c.column;
    }
    // A refill returns to list order and leaves the buttons as the last click set them.
    ListView4ColumnClick(list, sortColumn, kColumnBeginPage);
    FillCombinationList(list, image.fragments, states);
    EXPECT_EQ(BeginPages(list), (std::vector<std::int32_t>{1000, 0, 200}));
    EXPECT_TRUE(list.buildEnabled);
}

TEST(ListView4Compare, SectorColumnsCompareAsTextPagesAsNumbers) {
    CombinationRow a;
    a.beginPage = 1000;
    a.startSector = 1000;
    CombinationRow b;
    b.beginPage = 200;
    b.startSector = 200;
    EXPECT_LT(ListView4Compare(a, b, kColumnStartSector), 0);
    EXPECT_GT(ListView4Compare(a, b, kColumnBeginPage), 0);
    EXPECT_EQ(ListView4Compare(a, a, kColumnMemo), 0);
}

TEST(N16Click, CaptionsCountOnlyTheLinesTheFilterShows) {
    fixtures::FragmentImage image;
    for (int line = 0; line < 10; ++line) image.RecordLine(1000 * line, 1, line + 1);
    // Only lines 5 and 9 visible: captions 1 and 2.
    for (std::size_t line = 0; line < 10; ++line) {
        if (line == 5 || line == 9) continue;
        std::string text(image.fragments.Line(line));
        text.replace(text.size() - 2, 1, "N");
        image.fragments.Replace(line, text);
    }
    FragmentState states;
    states.Reset(10);
    CombinationList list;
    const std::int32_t ticked[] = {2};
    N16Click(list, states, image.fragments, ticked);
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].lineIndex, 9u);

    // Nothing ticked, a caption past the list, or a fragment already chained: only the refill.
    const std::int32_t again[] = {2, 3, 0};
    N16Click(list, states, image.fragments, again);
    N16Click(list, states, image.fragments, {});
    EXPECT_EQ(states.ChainedCount(), 1u);
    EXPECT_EQ(list.rows.size(), 1u);

    const std::int32_t several[] = {2, 1};
    EXPECT_EQ(LinesOfVisibleCaptions(image.fragments, several), (std::vector<std::size_t>{9, 5}));
}

} // namespace
} // namespace vorthal
