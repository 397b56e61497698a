#include "catalogue/fragment_view_model.h"

#include <algorithm>

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

// The row of a fragment line; nothing when the line is no fragment line or, with
// `onlyVisible`, when its flag hides it.
std::optional<FragmentViewRow> RowOfLine(std::string_view line, std::size_t lineIndex, bool onlyVisible) {
    std::optional<Fragment> fragment = ParseFragmentLine(line);
    if (!fragment || (onlyVisible && !fragment->visible))
        return std::nullopt;
    FragmentViewRow row;
    row.startSector = fragment->startSector;
    row.endSector = fragment->endSector;
    row.sizeKb = fragment->sizeKb;
    row.beginPage = fragment->beginPage;
    row.endPage = fragment->endPage;
    row.memo = std::move(fragment->memo);
    row.lineIndex = lineIndex;
    return row;
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
    const FragmentViewRow& row = rows_[position];
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
    for (std::size_t index = 0; index < fragments.Count(); ++index) {
        std::optional<FragmentViewRow> row = RowOfLine(fragments.Line(index), index, true);
        if (!row)
            continue;
        row->rowNumber = static_cast<std::int64_t>(rows_.size()) + 1;
        rows_.push_back(std::move(*row));
    }
    lineCount_ = fragments.Count();
}

bool FragmentViewModel::AppendLine(std::string_view line) {
    std::optional<FragmentViewRow> row = RowOfLine(line, lineCount_++, false);
    if (!row)
        return false;
    row->rowNumber = static_cast<std::int64_t>(rows_.size()) + 1;
    rows_.push_back(std::move(*row));
    return true;
}

std::optional<std::size_t> FragmentViewModel::RowOfLastLine() const {
    if (lineCount_ == 0)
        return std::nullopt;
    const std::size_t lastLine = lineCount_ - 1;
    // Unsorted, the last line's row is the last row; after a sort it is looked for.
    if (!rows_.empty() && rows_.back().lineIndex == lastLine)
        return rows_.size() - 1;
    const auto found = std::find_if(rows_.begin(), rows_.end(), [lastLine](const FragmentViewRow& row) {
        return row.lineIndex == lastLine;
    });
    if (found == rows_.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - rows_.begin());
}

void FragmentViewModel::RemoveLastLine() {
    if (const std::optional<std::size_t> position = RowOfLastLine())
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*position));
    if (lineCount_ > 0)
        --lineCount_;
}

void FragmentViewModel::SortByColumn(int column) {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [column](const FragmentViewRow& left, const FragmentViewRow& right) {
                         return CompareRows(left, right, column) < 0;
                     });
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
