// The missing-page check: gaps of the chain, the PFS pages and allocated pages in them, overlaps.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assembly/missing_page_check.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using Lines = std::vector<std::string>;

FragmentNumbers Row(std::int32_t begin, std::int32_t end) {
    return {.number = 0, .startSector = 0, .endSector = 0, .sizeKb = 8 * (end - begin), .beginPage = begin, .endPage = end};
}

PageAllocationLookup AllocatedPages(std::set<std::int32_t> pages) {
    return [pages = std::move(pages)](std::int32_t page) -> std::uint8_t {
        return pages.count(page) ? kAllocationAllocated : std::uint8_t{0};
    };
}

TEST(PfsCandidatePages, RoundedHalvesToEvenPlusOneWhenNotAMultiple) {
    const struct {
        std::int32_t sizePages;
        std::vector<std::int32_t> pages;
    } cases[] = {
        {0, {}},
        {100, {1}},
        {4044, {1}},                  // 0.5 rounds to 0, plus 1
        {8088, {1}},                  // a multiple: no extra candidate
        {8089, {1, 8088}},
        {12132, {1, 8088, 16176}},    // 1.5 rounds to 2, plus 1
        {16176, {1, 8088}},
        {20220, {1, 8088, 16176}},    // 2.5 rounds to 2, plus 1
    };
    for (const auto& c : cases) EXPECT_EQ(PfsCandidatePages(c.sizePages), c.pages) << c.sizePages;
}

struct CheckCase {
    const char* name;
    std::vector<FragmentNumbers> rows;
    std::int32_t sizePages;
    std::set<std::int32_t> allocated;
    Lines lines;
    MissingPageReport::Outcome outcome;
    bool errorShown;
};

TEST(CheckMissingPages, ReportsPfsAndAllocatedPagesOfEveryGap) {
    using Outcome = MissingPageReport::Outcome;
    const CheckCase cases[] = {
        {"gap with PFS page 8088", {Row(0, 8000), Row(8100, 9000)}, 9000, {7999, 8000, 8042, 8088, 8099, 8100},
         {"缺少重要的PFS页面8088", "缺少页面8000", "缺少页面8042", "缺少页面8088", "缺少页面8099", "检测完毕"},
         Outcome::kComplete, false},
        {"no gap", {Row(0, 500)}, 500, {1, 2}, {"检测完毕"}, Outcome::kComplete, false},
        {"last row past the size", {Row(0, 500)}, 400, {}, {}, Outcome::kOverlap, true},
        {"first row not at page 0", {Row(2, 500)}, 500, {}, {}, Outcome::kNotChecked, false},
        {"no rows", {}, 500, {}, {}, Outcome::kNotChecked, false},
        {"gap covering page 1", {Row(0, 1), Row(2, 100)}, 100, {}, {"缺少重要的PFS页面1", "检测完毕"}, Outcome::kComplete, false},
        {"tail gap, free pages not reported", {Row(0, 10)}, 20, {12}, {"缺少页面12", "检测完毕"}, Outcome::kComplete, false},
        {"overlap after a reported gap", {Row(0, 10), Row(12, 30), Row(20, 40)}, 40, {10},
         {"缺少页面10"}, Outcome::kOverlap, true},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::RecordingObserver observer;
        observer.Log(LogPane::Assembly) = {"line of an earlier run"};
        const MissingPageReport report = CheckMissingPages(c.rows, c.sizePages, AllocatedPages(c.allocated), observer);
        EXPECT_EQ(observer.Log(LogPane::Assembly), c.lines);
        EXPECT_EQ(report.outcome, c.outcome);
        ASSERT_EQ(observer.messages.size(), c.errorShown ? 1u : 0u);
        if (c.errorShown) {
            EXPECT_EQ(observer.messages[0].title, "提示");
            EXPECT_EQ(observer.messages[0].text, "error");
        }
    }
}

TEST(CheckMissingPages, ReturnsTheFindingsAsData) {
    fixtures::RecordingObserver observer;
    const MissingPageReport report =
        CheckMissingPages(std::vector{Row(0, 8000), Row(8100, 9000)}, 9000, AllocatedPages({8001, 8088}), observer);
    EXPECT_EQ(report.missingPfsPages, (std::vector<std::int32_t>{8088}));
    EXPECT_EQ(report.missingAllocatedPages, (std::vector<std::int32_t>{8001, 8088}));
    EXPECT_EQ(report.missingPages, 100);
}

} // namespace
} // namespace vorthal
