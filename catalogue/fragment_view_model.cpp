#include "catalogue/fragment_view_model.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "scan/fragment_line.h"

namespace vorthal {
namespace {

bool PassesFilter(const FragmentNumbers& numbers, const FragmentFilter& filter) {
    switch (filter.kind) {
    case FragmentFilter::Kind::kBeginPageRange:
        return filter.low <= numbers.beginPage && numbers.beginPage < filter.high;
    case FragmentFilter::Kind::kContainsPage:
        return numbers.beginPage <= filter.page && filter.page < numbers.endPage;
    case FragmentFilter::Kind::kShowAll:
        break;
    }
    return true;
}

template <typename Number> int CompareNumbers(Number left, Number right) {
    return left < right ? -1 : (right < left ? 1 : 0);
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

FragmentViewRow RowOf(const FragmentNumbers& numbers, std::string_view memo, std::size_t lineIndex) {
    FragmentViewRow row;
    row.startSector = numbers.startSector;
    row.endSector = numbers.endSector;
    row.sizeKb = numbers.sizeKb;
    row.beginPage = numbers.beginPage;
    row.endPage = numbers.endPage;
    row.memo = std::string(memo);
    row.lineIndex = lineIndex;
    return row;
}

bool IsHiddenFlag(std::string_view flag) {
    const std::size_t first = flag.find_first_not_of(" \t");
    const std::size_t last = flag.find_last_not_of(" \t");
    return first != std::string_view::npos && flag.substr(first, last - first + 1) == "N";
}

} // namespace

void ApplyFragmentFilter(FragmentList& fragments, const FragmentFilter& filter) {
    std::string rewritten;
    for (std::size_t index = 0; index < fragments.Count(); ++index) {
        const FragmentNumbers* numbers = fragments.Numbers(index);
        const std::string_view line = fragments.Line(index);
        if (numbers == nullptr || line.size() < 2)
            continue;
        rewritten.assign(line.substr(0, line.size() - 2));
        rewritten.append(PassesFilter(*numbers, filter) ? "Y|" : "N|");
        if (rewritten != line)
            fragments.Replace(index, rewritten);
    }
}

std::string StatisticsMessage(const TickStatistics& statistics) {
    return std::string(kStatisticsCountPrefix) + std::to_string(statistics.count) + kStatisticsTotalPrefix +
           std::to_string(statistics.totalKb) + kStatisticsUnit;
}

int CompareIgnoringAsciiCase(std::string_view left, std::string_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto l = static_cast<unsigned char>(UpperAscii(left[i]));
        const auto r = static_cast<unsigned char>(UpperAscii(right[i]));
        if (l != r)
            return l < r ? -1 : 1;
    }
    return CompareNumbers(left.size(), right.size());
}

int CompareRows(const FragmentViewRow& left, const FragmentViewRow& right, int column) {
    switch (column) {
    case kColumnRowNumber:
        return CompareNumbers(left.rowNumber, right.rowNumber);
    case kColumnSizeKb:
        return CompareNumbers(left.sizeKb, right.sizeKb);
    case kColumnBeginPage:
        return CompareNumbers(left.beginPage, right.beginPage);
    case kColumnEndPage:
        return CompareNumbers(left.endPage, right.endPage);
    case kColumnStartSector:
        return CompareNumbers(left.startSector, right.startSector);
    case kColumnEndSector:
        return CompareNumbers(left.endSector, right.endSector);
    default:
        return CompareIgnoringAsciiCase(left.memo, right.memo);
    }
}

std::string FragmentViewModel::CellText(std::size_t position, int column) const {
    const FragmentViewRow& row = Row(position);
    switch (column) {
    case kColumnRowNumber:
        return std::to_string(row.rowNumber);
    case kColumnSizeKb:
        return std::to_string(row.sizeKb);
    case kColumnBeginPage:
        return std::to_string(row.beginPage);
    case kColumnEndPage:
        return std::to_string(row.endPage);
    case kColumnMemo:
        return row.memo;
    case kColumnStartSector:
        return std::to_string(row.startSector);
    case kColumnEndSector:
        return std::to_string(row.endSector);
    default:
        return {};
    }
}

void FragmentViewModel::Fill(const FragmentList& fragments) {
    rows_.clear();
    rows_.reserve(fragments.Count());
    order_.clear();
    // The numbers the list read when it stored each line; only the memo and flag are looked up.
    for (std::size_t index = 0; index < fragments.Count(); ++index) {
        const FragmentNumbers* numbers = fragments.Numbers(index);
        if (numbers == nullptr || IsHiddenFlag(fragments.Field(index, kFieldVisibility)))
            continue;
        FragmentViewRow& row = rows_.emplace_back(RowOf(*numbers, fragments.Field(index, kFieldMemo), index));
        row.rowNumber = static_cast<std::int64_t>(rows_.size());
    }
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    lineCount_ = fragments.Count();
}

bool FragmentViewModel::AppendLine(std::string_view line) {
    const std::size_t lineIndex = lineCount_++;
    const std::optional<Fragment> fragment = ParseFragmentLine(line);
    if (!fragment)
        return false;
    FragmentViewRow& row = rows_.emplace_back(RowOf(*fragment, fragment->memo, lineIndex));
    order_.push_back(rows_.size() - 1);
    row.rowNumber = static_cast<std::int64_t>(order_.size());
    return true;
}

// Rows are stored in the order of their lines, so the last line's row, if it has one, is the
// last stored; only its place in the view is looked for once a sort moved it.
std::optional<std::size_t> FragmentViewModel::RowOfLastLine() const {
    if (lineCount_ == 0 || rows_.empty() || rows_.back().lineIndex != lineCount_ - 1)
        return std::nullopt;
    const std::size_t stored = rows_.size() - 1;
    if (order_.back() == stored)
        return order_.size() - 1;
    const auto found = std::find(order_.begin(), order_.end(), stored);
    return static_cast<std::size_t>(found - order_.begin());
}

void FragmentViewModel::RemoveLastLine() {
    if (const std::optional<std::size_t> position = RowOfLastLine()) {
        order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(*position));
        rows_.pop_back();
    }
    if (lineCount_ > 0)
        --lineCount_;
}

// Sorts the view order, not the rows. A numeric column sorts its values, each paired with the
// row's place in the view, so equal values keep their order; the memo column merges positions.
void FragmentViewModel::SortByColumn(int column) {
    const auto sortBy = [this](auto key) {
        std::vector<std::pair<std::int64_t, std::size_t>> keys(order_.size());
        for (std::size_t position = 0; position < order_.size(); ++position)
            keys[position] = {key(rows_[order_[position]]), position};
        std::sort(keys.begin(), keys.end());
        std::vector<std::size_t> sorted(order_.size());
        for (std::size_t position = 0; position < keys.size(); ++position)
            sorted[position] = order_[keys[position].second];
        order_.swap(sorted);
    };
    switch (column) {
    case kColumnRowNumber:
        return sortBy([](const FragmentViewRow& row) { return row.rowNumber; });
    case kColumnSizeKb:
        return sortBy([](const FragmentViewRow& row) { return row.sizeKb; });
    case kColumnBeginPage:
        return sortBy([](const FragmentViewRow& row) { return std::int64_t{row.beginPage}; });
    case kColumnEndPage:
        return sortBy([](const FragmentViewRow& row) { return std::int64_t{row.endPage}; });
    case kColumnStartSector:
        return sortBy([](const FragmentViewRow& row) { return row.startSector; });
    case kColumnEndSector:
        return sortBy([](const FragmentViewRow& row) { return row.endSector; });
    default:
        std::stable_sort(order_.begin(), order_.end(), [this](std::size_t left, std::size_t right) {
            return CompareIgnoringAsciiCase(rows_[left].memo, rows_[right].memo) < 0;
        });
    }
}

void FragmentViewModel::TickAll() {
    for (FragmentViewRow& row : rows_)
        row.ticked = true;
}

void FragmentViewModel::ClearTicks() {
    for (FragmentViewRow& row : rows_)
        row.ticked = false;
}

void FragmentViewModel::InvertTicks() {
    for (FragmentViewRow& row : rows_)
        row.ticked = !row.ticked;
}

TickStatistics FragmentViewModel::Statistics() const {
    TickStatistics statistics;
    for (const FragmentViewRow& row : rows_) {
        if (!row.ticked)
            continue;
        ++statistics.count;
        statistics.totalKb += row.sizeKb;
    }
    return statistics;
}

} // namespace vorthal
