#include "scan/page_order_index.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <limits>
#include <optional>

namespace vorthal {

namespace {

// A heap key ordering by begin page, then by position: the smallest key is the leftmost of the
// smallest begin pages. The page's sign bit is flipped so that unsigned order is signed order.
std::uint64_t HeapKey(std::int32_t beginPage, std::size_t position) {
    const std::uint64_t page = static_cast<std::uint32_t>(beginPage) ^ 0x80000000u;
    return (page << 32) | static_cast<std::uint64_t>(position);
}

std::size_t PositionOfKey(std::uint64_t key) { return static_cast<std::size_t>(key & 0xFFFFFFFFu); }

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
    // The selection sort, step by step, without its quadratic search: a min-heap of
    // (begin page, position) gives the leftmost smallest entry among the positions not yet
    // fixed. When step i swaps entry i into position p, the heap gets the moved entry's key at
    // p; its old key at i is left in the heap and skipped once i is passed. Every position not
    // yet fixed thus has exactly one live key, and each step costs O(log n).
    const std::size_t count = entries.size();
    assert(count <= std::numeric_limits<std::uint32_t>::max()); // positions fill 32 bits of a key
    std::vector<std::uint64_t> heap(count);
    for (std::size_t position = 0; position < count; ++position) {
        heap[position] = HeapKey(entries[position].beginPage, position);
    }
    const std::greater<std::uint64_t> minFirst;
    std::make_heap(heap.begin(), heap.end(), minFirst);
    for (std::size_t step = 0; step + 1 < count; ++step) {
        std::size_t smallest = 0;
        do {
            std::pop_heap(heap.begin(), heap.end(), minFirst);
            smallest = PositionOfKey(heap.back());
            heap.pop_back();
        } while (smallest < step);
        if (smallest == step) continue;
        std::swap(entries[step], entries[smallest]);
        heap.push_back(HeapKey(entries[smallest].beginPage, smallest));
        std::push_heap(heap.begin(), heap.end(), minFirst);
    }
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
