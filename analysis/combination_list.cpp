#include "analysis/combination_list.h"

#include <algorithm>
#include <numeric>

#include "analysis/database_catalogue.h"

namespace vorthal {
namespace {

template <typename Number>
int CompareNumbers(Number a, Number b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = lower(static_cast<unsigned char>(a[i])) - lower(static_cast<unsigned char>(b[i]));
        if (difference != 0) return difference < 0 ? -1 : 1;
    }
    return CompareNumbers(a.size(), b.size());
}

CombinationRow RowOf(const FragmentNumbers& numbers, std::string memo, std::size_t line, std::int32_t caption) {
    return {.caption = caption,
            .sizeKb = numbers.sizeKb,
            .beginPage = numbers.beginPage,
            .endPage = numbers.endPage,
            .memo = std::move(memo),
            .startSector = numbers.startSector,
            .endSector = numbers.endSector,
            .lineIndex = line,
            .image = numbers.beginPage == 0 ? kFirstPageImage : kPlainFragmentImage};
}

} // namespace

void FragmentState::Chain(std::size_t line) {
    if (line >= chained_.size()) chained_.resize(line + 1, 0);
    chained_[line] = 1;
}

std::size_t FragmentState::ChainedCount() const {
    return static_cast<std::size_t>(std::count(chained_.begin(), chained_.end(), std::uint8_t{1}));
}

void FillCombinationList(CombinationList& list, const FragmentList& fragments, const FragmentState& states) {
    list.rows.clear();
    for (std::size_t i = 0; i < fragments.Count(); ++i) {
        if (!states.IsChained(i)) continue;
        const FragmentNumbers* numbers = fragments.Numbers(i);
        if (numbers == nullptr) continue;
        const auto caption = static_cast<std::int32_t>(list.rows.size() + 1);
        list.rows.push_back(RowOf(*numbers, std::string(fragments.Field(i, kFieldMemo)), i, caption));
    }
}

std::vector<std::size_t> LinesOfVisibleCaptions(const FragmentList& fragments, std::span<const std::int32_t> captions) {
    std::vector<std::size_t> lines(captions.size(), fragments.Count());
    // One walk over the list for all captions, in rising caption order.
    std::vector<std::size_t> order(captions.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return captions[a] < captions[b]; });
    std::size_t next = 0;
    std::int64_t visible = 0;
    while (next < order.size() && captions[order[next]] < 1) ++next;
    for (std::size_t line = 0; line < fragments.Count() && next < order.size(); ++line) {
        if (IsHiddenLine(fragments, line)) continue;
        ++visible;
        while (next < order.size() && captions[order[next]] == visible) lines[order[next++]] = line;
    }
    return lines;
}

void N16Click(CombinationList& list, FragmentState& states, const FragmentList& fragments,
              std::span<const std::int32_t> tickedCaptions) {
    for (std::size_t line : LinesOfVisibleCaptions(fragments, tickedCaptions))
        if (line < fragments.Count()) states.Chain(line);
    FillCombinationList(list, fragments, states);
}

int ListView4Compare(const CombinationRow& a, const CombinationRow& b, int fragmentSortColumn) {
    switch (fragmentSortColumn) {
    case kColumnRowNumber: return CompareNumbers(a.caption, b.caption);
    case kColumnSizeKb: return CompareNumbers(a.sizeKb, b.sizeKb);
    case kColumnBeginPage: return CompareNumbers(a.beginPage, b.beginPage);
    case kColumnEndPage: return CompareNumbers(a.endPage, b.endPage);
    case kColumnStartSector: return CompareTextIgnoringCase(std::to_string(a.startSector), std::to_string(b.startSector));
    case kColumnEndSector: return CompareTextIgnoringCase(std::to_string(a.endSector), std::to_string(b.endSector));
    default: return CompareTextIgnoringCase(a.memo, b.memo);
    }
}

void ListView4ColumnClick(CombinationList& list, int& fragmentSortColumn, int column) {
    fragmentSortColumn = column;
    list.EnableButtons(column == kColumnBeginPage);
    std::stable_sort(list.rows.begin(), list.rows.end(), [column](const CombinationRow& a, const CombinationRow& b) {
        return ListView4Compare(a, b, column) < 0;
    });
}

} // namespace vorthal
