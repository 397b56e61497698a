#include "scan/page_order_index.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <optional>

namespace vorthal {

namespace {

// A sort key grouping entries by begin page: the page in the high half, its sign bit flipped so
// that unsigned order is signed order, and the entry in the low half.
std::uint64_t GroupKey(std::int32_t beginPage, std::size_t entry) {
    const std::uint64_t page = static_cast<std::uint32_t>(beginPage) ^ 0x80000000u;
    return (page << 32) | static_cast<std::uint64_t>(entry);
}

std::uint64_t PageOfKey(std::uint64_t key) { return key >> 32; }
std::size_t EntryOfKey(std::uint64_t key) { return static_cast<std::size_t>(key & 0xFFFFFFFFu); }

// Begin and end page of line `lineIndex`, from the numbers kept beside the line when they are
// all valid, else from the two fields themselves (a line need not be valid elsewhere).
bool ReadPages(const FragmentList& list, std::size_t lineIndex, PageOrderEntry& entry, PageOrderIndexError* error) {
    if (const FragmentNumbers* numbers = list.Numbers(lineIndex)) {
        entry.beginPage = numbers->beginPage;
        entry.endPage = numbers->endPage;
        return true;
    }
    FragmentLineError fieldError;
    const std::string_view line = list.Line(lineIndex);
    const std::optional<std::int32_t> beginPage = ReadInt32Field(line, kFieldBeginPage, &fieldError);
    const std::optional<std::int32_t> endPage = beginPage ? ReadInt32Field(line, kFieldEndPage, &fieldError) : std::nullopt;
    if (!endPage) {
        if (error != nullptr) *error = PageOrderIndexError{lineIndex, fieldError.Describe()};
        return false;
    }
    entry.beginPage = *beginPage;
    entry.endPage = *endPage;
    return true;
}

} // namespace

std::size_t PageOrderIndex::FirstPositionAtOrAfter(std::int32_t page) const {
    const auto found = std::partition_point(entries_.begin(), entries_.end(),
                                            [page](const PageOrderEntry& entry) { return entry.beginPage < page; });
    return static_cast<std::size_t>(found - entries_.begin());
}

void SortPageOrderEntries(std::span<PageOrderEntry> entries) {
    // What the selection sort does, group by group of equal begin pages in ascending order:
    // when a group's turn comes, the positions before it hold the smaller pages, and each step
    // fetches the group's leftmost member not yet placed into the next position, sending the
    // entry found there to the member's old position. A member never moves before its own
    // step (one standing at the step's position is the leftmost and stays), so the group is
    // placed in the order of its members' positions at the start of its turn, and only the
    // entries swapped out move. That is O(n log n) in all, where the sort itself is quadratic.
    const std::size_t count = entries.size();
    assert(count <= std::numeric_limits<std::uint32_t>::max()); // entries are named in 32 bits
    std::vector<std::uint64_t> byPage(count);
    for (std::size_t entry = 0; entry < count; ++entry) byPage[entry] = GroupKey(entries[entry].beginPage, entry);
    std::sort(byPage.begin(), byPage.end());

    // Entries are named by their position before the sort.
    std::vector<std::uint32_t> entryAt(count);
    std::vector<std::uint32_t> positionOf(count);
    for (std::size_t position = 0; position < count; ++position) {
        entryAt[position] = positionOf[position] = static_cast<std::uint32_t>(position);
    }
    std::vector<std::uint32_t> groupPositions;
    for (std::size_t groupStart = 0; groupStart < count;) {
        const std::uint64_t page = PageOfKey(byPage[groupStart]);
        std::size_t groupEnd = groupStart;
        groupPositions.clear();
        for (; groupEnd < count && PageOfKey(byPage[groupEnd]) == page; ++groupEnd) {
            groupPositions.push_back(positionOf[EntryOfKey(byPage[groupEnd])]);
        }
        std::sort(groupPositions.begin(), groupPositions.end());
        for (std::size_t member = 0; member < groupPositions.size(); ++member) {
            const std::uint32_t from = groupPositions[member];
            const auto step = static_cast<std::uint32_t>(groupStart + member);
            if (from == step) continue;
            const std::uint32_t swappedOut = entryAt[step];
            entryAt[step] = entryAt[from];
            positionOf[entryAt[step]] = step;
            entryAt[from] = swappedOut;
            positionOf[swappedOut] = from;
        }
        groupStart = groupEnd;
    }
    const std::vector<PageOrderEntry> unsorted(entries.begin(), entries.end());
    for (std::size_t position = 0; position < count; ++position) entries[position] = unsorted[entryAt[position]];
}

bool BuildPageOrderIndex(const FragmentList& list, PageOrderIndex& index, PageOrderIndexError* error) {
    index.entries_.clear();
    const std::size_t count = list.Count();
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        if (error != nullptr) {
            *error = PageOrderIndexError{count - 1, "more lines than a 32-bit line index can number"};
        }
        return false;
    }
    std::vector<PageOrderEntry> entries(count);
    for (std::size_t line = 0; line < count; ++line) {
        entries[line].lineIndex = static_cast<std::int32_t>(line);
        if (!ReadPages(list, line, entries[line], error)) return false;
    }
    SortPageOrderEntries(entries);
    index.entries_ = std::move(entries);
    return true;
}

} // namespace vorthal
