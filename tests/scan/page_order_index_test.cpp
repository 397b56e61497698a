#include "scan/page_order_index.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorthal {
namespace {

// The selection procedure, transcribed step by step: the order it leaves equal begin pages in
// is the order the analysis relies on.
void SelectionSortReference(std::vector<PageOrderEntry>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::size_t smallest = i;
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
            if (entries[j].beginPage < entries[smallest].beginPage) smallest = j;
        }
        if (smallest != i) std::swap(entries[i], entries[smallest]);
    }
}

std::string LineWithPages(std::int32_t beginPage, std::int32_t endPage) {
    return "1|0|16|8|" + std::to_string(beginPage) + "|" + std::to_string(endPage) + "| |Y|";
}

FragmentList ListWithBeginPages(const std::vector<std::int32_t>& beginPages) {
    FragmentList list;
    for (const std::int32_t begin : beginPages) list.Append(LineWithPages(begin, begin + 1));
    return list;
}

std::vector<std::int32_t> LineOrder(const PageOrderIndex& index) {
    std::vector<std::int32_t> lines;
    for (const PageOrderEntry& entry : index.Entries()) lines.push_back(entry.lineIndex);
    return lines;
}

TEST(BuildPageOrderIndexTest, OrdersEqualBeginPagesAsTheSelectionSwapsLeaveThem) {
    PageOrderIndex index;
    ASSERT_TRUE(BuildPageOrderIndex(ListWithBeginPages({5, 3, 5, 3}), index));
    EXPECT_EQ(LineOrder(index), (std::vector<std::int32_t>{1, 3, 2, 0}));
    EXPECT_EQ(index[0], (PageOrderEntry{1, 3, 4}));
    EXPECT_EQ(index[3], (PageOrderEntry{0, 5, 6}));

    ASSERT_TRUE(BuildPageOrderIndex(ListWithBeginPages({7, 7, 1, 7, 7}), index));
    EXPECT_EQ(LineOrder(index), (std::vector<std::int32_t>{2, 1, 0, 3, 4}));
}

TEST(BuildPageOrderIndexTest, EmptyListGivesEmptyIndex) {
    PageOrderIndex index;
    ASSERT_TRUE(BuildPageOrderIndex(ListWithBeginPages({4, 2}), index));
    ASSERT_TRUE(BuildPageOrderIndex(FragmentList{}, index));
    EXPECT_TRUE(index.Empty());
}

TEST(SortPageOrderEntriesTest, MatchesTheSelectionProcedureOnRandomLists) {
    std::mt19937 random(7);
    const std::int32_t pageRanges[] = {1, 2, 3, 5, 10, 100, 100000};
    for (int round = 0; round < 400; ++round) {
        const std::size_t count = round < 50 ? static_cast<std::size_t>(round) : random() % 3000;
        const std::int32_t range = pageRanges[random() % std::size(pageRanges)];
        std::vector<PageOrderEntry> entries(count);
        for (std::size_t i = 0; i < count; ++i) {
            // Pages below 0 and far apart too: the order must hold over the whole signed range.
            const std::int32_t offset = round % 4 == 0 ? INT32_MIN + 5 : round % 4 == 1 ? INT32_MAX - range : -range / 2;
            const auto begin = static_cast<std::int32_t>(offset + static_cast<std::int32_t>(random() % static_cast<unsigned>(range)));
            entries[i] = PageOrderEntry{static_cast<std::int32_t>(i), begin, static_cast<std::int32_t>(random())};
        }
        std::vector<PageOrderEntry> expected = entries;
        SelectionSortReference(expected);
        SortPageOrderEntries(entries);
        ASSERT_EQ(entries, expected) << "round " << round << ", " << count << " entries, range " << range;
    }
}

TEST(BuildPageOrderIndexTest, IndexesThroughTheLineTextWhenOtherFieldsAreBroken) {
    FragmentList list;
    list.Append("x|y|z|w|9|12| |Y|"); // begin and end page are all the index reads
    list.Append(LineWithPages(4, 8));
    PageOrderIndex index;
    ASSERT_TRUE(BuildPageOrderIndex(list, index));
    EXPECT_EQ(index[0], (PageOrderEntry{1, 4, 8}));
    EXPECT_EQ(index[1], (PageOrderEntry{0, 9, 12}));
}

TEST(BuildPageOrderIndexTest, ReportsTheFirstLineWithAPageThatIsNotAnInteger) {
    const std::pair<std::string, std::string> cases[] = {
        {"1|0|16|8|4x|5| |Y|", "field 5 (begin page) is not a 32-bit integer: \"4x\""},
        {"1|0|16|8|4|| |Y|", "field 6 (end page) is not a 32-bit integer: \"\""},
        {"1|0|16|8|4|", "field 6 (end page) is missing"},
        {"1|0|16|8|2147483648|5| |Y|", "field 5 (begin page) is not a 32-bit integer: \"2147483648\""},
    };
    for (const auto& [badLine, detail] : cases) {
        FragmentList list = ListWithBeginPages({3, 1});
        list.Append(badLine);
        list.Append("also|bad|");
        PageOrderIndex index;
        ASSERT_TRUE(BuildPageOrderIndex(ListWithBeginPages({1, 2}), index));
        PageOrderIndexError error;
        EXPECT_FALSE(BuildPageOrderIndex(list, index, &error)) << badLine;
        EXPECT_EQ(error.lineIndex, 2u) << badLine;
        EXPECT_EQ(error.detail, detail) << badLine;
        EXPECT_TRUE(index.Empty()) << "a stale index must not survive a failed rebuild";
    }
}

TEST(BuildPageOrderIndexTest, GrowsPastTwoMillionLines) {
    constexpr std::int32_t kLines = 2'000'001;
    FragmentList list;
    for (std::int32_t line = 0; line < kLines; ++line) {
        const std::int32_t begin = (kLines - line) % 1000;
        list.Append(LineWithPages(begin, begin + 1));
    }
    PageOrderIndex index;
    ASSERT_TRUE(BuildPageOrderIndex(list, index));
    ASSERT_EQ(index.Count(), static_cast<std::size_t>(kLines));
    std::vector<bool> seen(kLines, false);
    for (std::size_t position = 0; position < index.Count(); ++position) {
        const PageOrderEntry& entry = index[position];
        ASSERT_FALSE(seen[static_cast<std::size_t>(entry.lineIndex)]);
        seen[static_cast<std::size_t>(entry.lineIndex)] = true;
        ASSERT_EQ(entry.beginPage, (kLines - entry.lineIndex) % 1000);
        if (position > 0) {
            ASSERT_LE(index[position - 1].beginPage, entry.beginPage);
        }
    }
}

TEST(PageOrderIndexTest, FirstPositionAtOrAfterFindsTheFirstBeginPageNotBelow) {
    PageOrderIndex index;
    ASSERT_TRUE(BuildPageOrderIndex(ListWithBeginPages({40, 10, 20, 20, 30}), index));
    const std::pair<std::int32_t, std::size_t> cases[] = {{INT32_MIN, 0}, {10, 0}, {11, 1}, {20, 1},
                                                           {21, 3},        {40, 4}, {41, 5}, {INT32_MAX, 5}};
    for (const auto& [page, position] : cases) EXPECT_EQ(index.FirstPositionAtOrAfter(page), position) << page;
    EXPECT_EQ(PageOrderIndex{}.FirstPositionAtOrAfter(0), 0u);
}

} // namespace
} // namespace vorthal
