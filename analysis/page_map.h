// The PageMap: what the allocation pages and page links of the fragments already chained say
// about each page number of the database file under analysis, and the matching of candidate
// fragments against it. The chain analysis and the second search fill it and ask it; the
// missing-page check reads its allocation column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/observer.h"
#include "base/page_geometry.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_list.h"
#include "scan/page_order_index.h"

namespace vorthal {

inline constexpr std::uint8_t kIamPageKind = 10;
inline constexpr std::uint8_t kNotLearned = 255;
// allocation
inline constexpr std::uint8_t kPageFree = 0;
inline constexpr std::uint8_t kPageAllocated = 1;
// ownerSource
inline constexpr std::uint8_t kOwnerFromAllocationPage = 0;
inline constexpr std::uint8_t kOwnerFromLink = 1;
// Allocation pages (PFS, IAM) carry this object id; it says nothing about the page's object.
inline constexpr std::int32_t kAllocationPageObjectId = 99;

// Eight bytes per page of the file.
struct PageMapEntry {
    std::int32_t owner = 0;          // object id the page is expected to carry; 0: none learned
    std::uint8_t pageKind = 0;       // kIamPageKind when a PFS byte marked the page as an IAM page
    std::uint8_t allocation = 0;     // kPageAllocated, kPageFree or kNotLearned
    std::uint8_t ownerSource = 0;    // kOwnerFromAllocationPage, kOwnerFromLink or kNotLearned

    bool operator==(const PageMapEntry&) const = default;
};
static_assert(sizeof(PageMapEntry) <= 8, "the page map takes at most 8 bytes per page of the file");

// One entry per page of the file under analysis, 0 to sizePages - 1. The table is sized by
// each reset to the file being analysed, so a file of any size is analysed whole, and nothing
// an earlier run learned about another file survives a reset. A page number outside the file
// reads as the entry of a page nobody described (free, no owner) and evidence about it is
// dropped.
class PageMap {
public:
    // ResetPageMap: pages 0 to sizePages - 1, nothing learned (allocation and ownerSource
    // kNotLearned). False when the memory for the table cannot be had; the map is then empty.
    bool Reset(std::int32_t sizePages);

    std::int64_t Size() const { return static_cast<std::int64_t>(entries_.size()); }
    bool Contains(std::int64_t page) const { return page >= 0 && page < Size(); }
    PageMapEntry At(std::int64_t page) const { return Contains(page) ? entries_[static_cast<std::size_t>(page)] : PageMapEntry{}; }
    // The entry to change, or nullptr for a page outside the file (the evidence is dropped).
    PageMapEntry* Find(std::int64_t page) { return Contains(page) ? &entries_[static_cast<std::size_t>(page)] : nullptr; }

private:
    std::vector<PageMapEntry> entries_;
};

// What the page map routines read with and report to.
struct PageEvidenceSources {
    FragmentSectorReader& reader;
    std::int64_t sectorsPerCluster = 0;  // of the data source; below 16 a page can be split
    Observer& observer;                  // "erra", "errb", "errc" and "read disk error"
};

// Adds the evidence of the fragment of `pages` pages beginning with page `beginPage` at
// `startSector`: PFS pages, IAM pages and page links. False after a failed read (the message
// has been shown; what earlier pages taught stays).
bool BuildPageMap(PageMap& map, PageEvidenceSources sources, std::int64_t pages, std::int32_t beginPage,
                  SectorNumber startSector);

// As BuildPageMap, but learns from PFS pages only, and from the last page of a fragment that a
// cluster boundary may have cut only the PFS bytes of its first half. For a first fragment of
// one or two pages.
bool BuildPageMapFromPfs(PageMap& map, PageEvidenceSources sources, std::int64_t pages, std::int32_t beginPage,
                         SectorNumber startSector);

struct MatchCounts {
    std::int32_t matches = 0;    // pages whose object id agrees with the expectation
    std::int32_t conflicts = 0;  // 0 or 1: the comparison stops at the first contradiction

    bool operator==(const MatchCounts&) const = default;
};

MatchCounts MatchFragment(const PageMap& map, PageEvidenceSources sources, std::int64_t pages, std::int32_t beginPage,
                          SectorNumber startSector);

enum class CandidateVerdict { kFits = 1, kRejected = 2, kNoEvidence = 3 };

// The verdict on the fragment at `position` of the index. A fragment that reaches past the file
// (or whose line cannot be read as numbers) is rejected without a read.
CandidateVerdict ClassifyCandidate(const PageMap& map, PageEvidenceSources sources, const FragmentList& fragments,
                                   const PageOrderIndex& index, std::size_t position, std::int32_t sizePages);

} // namespace vorthal
