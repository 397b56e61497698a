// The second search: the chain analysis takes the first fitting fragment at or after the page
// it needs, so the chain can keep gaps. This search looks into every gap of the combination
// list for fragments that lie wholly inside it, fitting ones first and then ones without
// evidence either way, pass after pass until a pass finds nothing; then it reads the file name
// from page 32 when the first fragment was too short to hold it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/analysis_state.h"
#include "analysis/chain_analysis.h"
#include "scan/page_order_index.h"

namespace vorthal {

// The positions of the index, ascending, whose fragment lies wholly inside [gapBegin, gapEnd):
// begin page at least gapBegin and end page at most gapEnd, whatever the state of its line.
std::vector<std::size_t> CollectGapCandidates(const PageOrderIndex& index, std::int32_t gapBegin, std::int32_t gapEnd);

enum class SecondSearchEnd {
    kCompleted,        // passes until one found nothing, and the name step
    kBusy,             // another run writes the page map; nothing done
    kNoFirstPageRow,   // the list is empty or does not begin with page 0; nothing searched
    kRowsOverlap,      // "error": rows overlap, or the last one reaches past the file size
    kReadFailed,       // a found fragment, page 32 or a fragment prefix could not be read
};

struct SecondSearchResult {
    SecondSearchEnd end = SecondSearchEnd::kCompleted;
    std::int32_t passes = 0;
    std::int64_t found = 0;  // fragments added over all passes
};

// SecondSearch (SEARCH MORE). The combination list is sorted by begin page at the start of
// each pass and at a normal end; the buttons stay disabled after an early end.
SecondSearchResult SecondSearch(AnalysisState& state, const ChainInputs& inputs);

} // namespace vorthal
