// The combination list: the chain that will become the data file, every fragment in chained
// state, and how its rows are sorted. The window's fourth tab shows these rows; the second
// search, the missing-page check and the builder read them in this displayed order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/page_geometry.h"
#include "catalogue/fragment_view_model.h"
#include "scan/fragment_list.h"

namespace vorthal {

// FragmentState: whether each FragmentList line (same index) is part of the chain. Sized to the
// list; a line beyond it reads as open.
class FragmentState {
public:
    // Every line of a list of `lineCount` lines open.
    void Reset(std::size_t lineCount) { chained_.assign(lineCount, 0); }
    void Clear() { chained_.clear(); }
    bool IsChained(std::size_t line) const { return line < chained_.size() && chained_[line] != 0; }
    void Chain(std::size_t line);
    std::size_t ChainedCount() const;

private:
    std::vector<std::uint8_t> chained_;
};

// Images of a row: the mark of a fragment that begins at page 0, or the plain one.
inline constexpr int kPlainFragmentImage = 0;
inline constexpr int kFirstPageImage = 1;

struct CombinationRow {
    std::int32_t caption = 0;   // running row number from 1 when the rows were filled
    std::int64_t sizeKb = 0;
    std::int32_t beginPage = 0;
    std::int32_t endPage = 0;   // exclusive
    std::string memo;
    SectorNumber startSector = 0;
    SectorNumber endSector = 0;
    std::size_t lineIndex = 0;  // the FragmentList line of the row
    int image = kPlainFragmentImage;

    std::int64_t Pages() const { return PagesOfSizeKb(sizeKb); }
    bool operator==(const CombinationRow&) const = default;
};

// The view of the combination list has the columns of the fragment list view (FragmentViewColumn).
struct CombinationList {
    std::vector<CombinationRow> rows;  // in displayed order
    // SEARCH MORE (Button6), CHECK (Button5) and CREATE MDF (Button2). The last two work only on
    // rows sorted by begin page: a header click enables all three for that column only.
    bool searchMoreEnabled = true;
    bool checkEnabled = false;
    bool buildEnabled = false;

    void EnableButtons(bool enabled) { searchMoreEnabled = checkEnabled = buildEnabled = enabled; }
};

// Rebuilds the rows from the chained lines, in FragmentList order; the buttons stay as they are.
// A chained line whose numbers cannot be read gets no row.
void FillCombinationList(CombinationList& list, const FragmentList& fragments, const FragmentState& states);

// The line that the fragment list view shows under `caption` (from 1): the caption-th line
// among the lines not hidden by the filter. Count() when there is no such line.
std::vector<std::size_t> LinesOfVisibleCaptions(const FragmentList& fragments, std::span<const std::int32_t> captions);

// Adding the ticked rows of the fragment list view (by caption) to the chain, then refilling.
void N16Click(CombinationList& list, FragmentState& states, const FragmentList& fragments,
              std::span<const std::int32_t> tickedCaptions);

// Negative, zero or positive as `a` sorts before, with or after `b` under `fragmentSortColumn`:
// numbers by value (caption, size, begin page, end page); the memo, and the two sector columns,
// as text ignoring ASCII case, as the view holds them.
int ListView4Compare(const CombinationRow& a, const CombinationRow& b, int fragmentSortColumn);

// A click on header `column`: it becomes the shared sort column, the three buttons are enabled
// when it is the begin page column and disabled otherwise, and the rows are sorted ascending
// (rows that compare equal keep their order).
void ListView4ColumnClick(CombinationList& list, int& fragmentSortColumn, int column);

} // namespace vorthal
