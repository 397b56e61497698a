#include "assembly/missing_page_check.h"

#include <cmath>
#include <string>

namespace vorthal {

std::vector<std::int32_t> PfsCandidatePages(std::int32_t sizePages) {
    std::vector<std::int32_t> pages;
    if (sizePages <= 0) return pages;
    // nearbyint rounds halves to even in the default rounding mode.
    auto candidates = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(sizePages) / kPagesPerPfsPage));
    if (sizePages % kPagesPerPfsPage != 0) ++candidates;
    for (std::int64_t i = 0; i < candidates; ++i) {
        const std::int64_t page = i == 0 ? 1 : i * kPagesPerPfsPage;
        if (page > INT32_MAX) break;
        pages.push_back(static_cast<std::int32_t>(page));
    }
    return pages;
}

namespace {

// Reports the gap [begin, end): its PFS candidates first, then its allocated pages.
void ReportGap(std::int32_t begin, std::int32_t end, const std::vector<std::int32_t>& pfsPages,
               const PageAllocationLookup& allocationOf, Observer& observer, MissingPageReport& report) {
    report.missingPages += static_cast<std::int64_t>(end) - begin;
    for (const std::int32_t pfs : pfsPages) {
        if (pfs < begin || pfs >= end) continue;
        report.missingPfsPages.push_back(pfs);
        observer.AppendLog(LogPane::Assembly, "缺少重要的PFS页面" + std::to_string(pfs));
    }
    for (std::int32_t page = begin; page < end; ++page) {
        if (allocationOf(page) != kAllocationAllocated) continue;
        report.missingAllocatedPages.push_back(page);
        observer.AppendLog(LogPane::Assembly, "缺少页面" + std::to_string(page));
    }
}

} // namespace

MissingPageReport CheckMissingPages(std::span<const FragmentNumbers> rows, std::int32_t sizePages,
                                    const PageAllocationLookup& allocationOf, Observer& observer) {
    MissingPageReport report;
    observer.ClearLog(LogPane::Assembly);
    if (rows.empty() || rows.front().beginPage != 0) return report;

    const std::vector<std::int32_t> pfsPages = PfsCandidatePages(sizePages);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::int32_t end = rows[r].endPage;
        const std::int32_t next = r + 1 < rows.size() ? rows[r + 1].beginPage : sizePages;
        if (next < end) {
            observer.ShowMessage(kDefaultMessageTitle, "error", MessageIcon::Error);
            report.outcome = MissingPageReport::Outcome::kOverlap;
            return report;
        }
        if (next > end) ReportGap(end, next, pfsPages, allocationOf, observer, report);
    }
    observer.AppendLog(LogPane::Assembly, "检测完毕");
    report.outcome = MissingPageReport::Outcome::kComplete;
    return report;
}

} // namespace vorthal
