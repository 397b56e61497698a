// The rows of the fragment list view, without any window: which lines of the FragmentList are
// shown, the running row numbers, the check marks, the sort by a column, the filter that writes
// the visibility flags, and the selection tools. A window adapts it to its list widget.
//
// The rows keep their own copy of the values of their lines, so that the view can be drawn from
// them while a scan on another thread appends to the FragmentList; the scan hands each line it
// appends or removes to the view in the order it made them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/page_geometry.h"
#include "scan/fragment_list.h"

namespace vorthal {

// The columns of the view, by index of the header the operator clicks.
enum FragmentViewColumn : int {
    kColumnRowNumber = 0,
    kColumnSizeKb = 1,
    kColumnBeginPage = 2,
    kColumnEndPage = 3,
    kColumnMemo = 4,
    kColumnStartSector = 5,
    kColumnEndSector = 6,
};
inline constexpr int kFragmentViewColumnCount = 7;

inline constexpr const char* kStatisticsCountPrefix = "统计结果:碎片数量为";
inline constexpr const char* kStatisticsTotalPrefix = "总大小为:";
inline constexpr const char* kStatisticsUnit = "KB";

struct FragmentViewRow {
    // The number of rows in the view right after this row was added: 1, 2, 3 ...
    std::int64_t rowNumber = 0;
    SectorNumber startSector = 0;
    SectorNumber endSector = 0;
    std::int64_t sizeKb = 0;
    std::int32_t beginPage = 0;
    std::int32_t endPage = 0;
    std::string memo;
    // The FragmentList line this row shows, counted from 0.
    std::size_t lineIndex = 0;
    bool ticked = false;

    // The fragment begins with the file header page of a database file.
    bool StartsDatabaseFile() const { return beginPage == 0; }
};

// The filter of the view: which lines get the flag "Y"; all others get "N".
struct FragmentFilter {
    enum class Kind {
        kShowAll,        // every line
        kBeginPageRange, // low <= begin page < high
        kContainsPage,   // begin page <= page < end page: the fragment holds that page
    };
    Kind kind = Kind::kShowAll;
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int32_t page = 0;
};

// Rewrites the visibility flag of every line of `fragments` as `filter` says: the line without
// its last two characters (the old flag and its "|"), then the new flag and "|". Nothing else of
// the list changes. Lines whose page numbers cannot be read keep their flag.
void ApplyFragmentFilter(FragmentList& fragments, const FragmentFilter& filter);

struct TickStatistics {
    std::int64_t count = 0;
    std::int64_t totalKb = 0;
};

// "统计结果:碎片数量为3总大小为:240KB"
std::string StatisticsMessage(const TickStatistics& statistics);

// Byte by byte, ASCII letters a to z taken as A to Z, a prefix before the longer text.
int CompareIgnoringAsciiCase(std::string_view left, std::string_view right);

// Negative, zero or positive as `left` sorts before, with or after `right` by `column`: numbers
// for the numeric columns (64-bit, so sector numbers of any disk compare right), text without
// regard to ASCII case for the memo and any other column.
int CompareRows(const FragmentViewRow& left, const FragmentViewRow& right, int column);

class FragmentViewModel {
  public:
    std::size_t RowCount() const { return order_.size(); }
    // position < RowCount().
    const FragmentViewRow& Row(std::size_t position) const { return rows_[order_[position]]; }
    // The text of a cell as the view shows it.
    std::string CellText(std::size_t position, int column) const;

    // FillFragmentView: one row per line of `fragments` whose flag is not "N", in list order,
    // numbered from 1, none ticked.
    void Fill(const FragmentList& fragments);
    // The scan appended `line` to the list: it gets a row at the end. False when the line is no
    // fragment line (it is counted as a line of the list all the same).
    bool AppendLine(std::string_view line);
    // The row of the list's last line, wherever a sort put it; nothing when no row shows it.
    std::optional<std::size_t> RowOfLastLine() const;
    // The scan removed the list's last line: its row goes.
    void RemoveLastLine();

    // Ascending by `column`, rows that compare equal keeping their order.
    void SortByColumn(int column);

    void SetTicked(std::size_t position, bool ticked) { rows_[order_[position]].ticked = ticked; }
    void TickAll();
    void ClearTicks();
    void InvertTicks();
    // The ticked rows and the sum of their sizes.
    TickStatistics Statistics() const;

  private:
    // The rows in the order they were added; a sort reorders only `order_`, the rows' indexes in
    // view order, so that sorting a million rows moves eight bytes per row rather than the row.
    std::vector<FragmentViewRow> rows_;
    std::vector<std::size_t> order_;
    // Lines of the FragmentList that the rows mirror: the next appended line has this index.
    std::size_t lineCount_ = 0;
};

} // namespace vorthal
