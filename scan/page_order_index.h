// The PageOrderIndex: the FragmentList ordered by begin page, which the chain analysis and the
// second search walk to find fragments by page number. It is a snapshot of the list as it was
// when built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scan/fragment_list.h"

namespace vorthal {

struct PageOrderEntry {
    std::int32_t lineIndex = 0; // position of the line in the FragmentList, from 0
    std::int32_t beginPage = 0; // field 5 of that line
    std::int32_t endPage = 0;   // field 6 of that line

    bool operator==(const PageOrderEntry&) const = default;
};

// Why the index could not be built: the first line whose begin or end page is not a 32-bit
// integer (or a list too long for 32-bit line indexes).
struct PageOrderIndexError {
    std::size_t lineIndex = 0; // 0-based FragmentList index
    std::string detail;        // for example: field 5 (begin page) is not a 32-bit integer: "x"
};

class PageOrderIndex {
public:
    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const PageOrderEntry& operator[](std::size_t position) const { return entries_[position]; }
    std::span<const PageOrderEntry> Entries() const { return entries_; }

    // The first position whose begin page is at least `page`; Count() when there is none.
    std::size_t FirstPositionAtOrAfter(std::int32_t page) const;

    void Clear() { entries_.clear(); }

private:
    friend bool BuildPageOrderIndex(const FragmentList& list, PageOrderIndex& index, PageOrderIndexError* error);
    std::vector<PageOrderEntry> entries_;
};

// Orders entries by begin page exactly as a selection sort does that, for each position from
// the first, swaps in the first entry of the rest whose begin page is strictly smaller than
// every one before it. That sort is not stable (begin pages 5, 3, 5, 3 of lines 0 to 3 give
// the lines 1, 3, 2, 0), and the analysis sees the order of equal begin pages; this gives the
// same order in O(n log n). Takes fewer than 2^32 entries.
void SortPageOrderEntries(std::span<PageOrderEntry> entries);

// Rebuilds `index` from the whole list: one entry per line, in line order, then sorted by
// SortPageOrderEntries. On failure `index` is left empty, so that no stale entry is taken for
// the list as it is now, and `error` (when given) names the line.
bool BuildPageOrderIndex(const FragmentList& list, PageOrderIndex& index, PageOrderIndexError* error = nullptr);

} // namespace vorthal
