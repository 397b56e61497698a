// The missing-page check: before the data file is built, the chain (the combination list in
// page order) is walked for pages that no fragment supplies, and the ones that matter are
// reported: the PFS pages, which hold the allocation state of the pages after them, and every
// missing page the analysis learned to be allocated. It only reads.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/observer.h"
#include "scan/fragment_line.h"

namespace vorthal {

// Pages one PFS page describes; PFS pages are page 1 and every multiple of this.
inline constexpr std::int32_t kPagesPerPfsPage = 8088;

// The allocation state the analysis learned for a page: 1 allocated, 0 free, 255 not learned.
inline constexpr std::uint8_t kAllocationAllocated = 1;
using PageAllocationLookup = std::function<std::uint8_t(std::int32_t page)>;

// The PFS positions the check looks at: k candidates, k = sizePages / 8088 rounded to the
// nearest integer (halves to even), plus 1 when sizePages is not a multiple of 8088; candidate
// 0 is page 1, candidate i is page i x 8088. Ascending.
std::vector<std::int32_t> PfsCandidatePages(std::int32_t sizePages);

struct MissingPageReport {
    enum class Outcome {
        kNotChecked, // no rows, or the first row does not begin at page 0
        kOverlap,    // rows overlap, or the last row runs past the file size ("error")
        kComplete,   // every gap was looked at ("检测完毕")
    };
    Outcome outcome = Outcome::kNotChecked;
    std::vector<std::int32_t> missingPfsPages;
    std::vector<std::int32_t> missingAllocatedPages;
    std::int64_t missingPages = 0; // all pages of the gaps looked at, whatever their state
};

// Walks `rows` in the order given (the combination list as displayed; it must be sorted by
// begin page). Clears the assembly log, writes "缺少重要的PFS页面" + page for each missing PFS
// candidate and "缺少页面" + page for each missing allocated page, gap by gap, then "检测完毕";
// an overlap shows "error" (title "提示") and ends the check without the closing line.
MissingPageReport CheckMissingPages(std::span<const FragmentNumbers> rows, std::int32_t sizePages,
                                    const PageAllocationLookup& allocationOf, Observer& observer);

} // namespace vorthal
