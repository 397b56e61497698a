// Everything one analysis learns about the database file it rebuilds, kept from the analysis
// run for the second search, the missing-page check and the builder until the next run.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "analysis/combination_list.h"
#include "analysis/page_map.h"
#include "base/observer.h"
#include "base/page_geometry.h"

namespace vorthal {

// The name given to a file whose first fragment is too short to hold page 32.
inline constexpr const char* kNoNameFileName = "c:\\noname.mdf";

struct AnalysedFile {
    std::string fileName;                 // from page 32, or kNoNameFileName
    std::int32_t sizePages = 0;           // from the file header page
    std::int64_t firstFragmentPages = 0;
    SectorNumber firstStartSector = 0;    // where the first fragment starts
    std::int32_t currentLine = -1;        // FragmentList index of the fragment chained last
};

struct AnalysisState {
    AnalysedFile file;
    FragmentState states;
    PageMap pageMap;
    CombinationList combination;
    // FragmentSortColumn: the header clicked last on the fragment list view or the combination
    // list view; both views sort by it.
    int fragmentSortColumn = 0;
    // True while a run writes the page map (an analysis or a second search). The check, the
    // second search and the builder refuse to start while it is set, so none of them ever reads
    // a page map or a chain that is half built.
    std::atomic<bool> analysisRunning{false};

    // Forgets every result, for a FragmentList that has been replaced: the states and rows name
    // lines of the old list.
    void Clear();
};

// The message a refused start shows (title "提示").
inline constexpr const char* kAnalysisStillRunning = "分析尚未结束";

// Held for the whole of a run that writes the page map. Started() is false when another such
// run holds it already; the run must then not start.
class PageMapWriter {
public:
    explicit PageMapWriter(AnalysisState& state);
    ~PageMapWriter();
    PageMapWriter(const PageMapWriter&) = delete;
    PageMapWriter& operator=(const PageMapWriter&) = delete;

    bool Started() const { return started_; }

private:
    AnalysisState& state_;
    bool started_;
};

// For the check and the builder, which only read: true (after the message "分析尚未结束",
// title "提示") when an analysis or a second search is still writing the page map.
bool RefusedWhileAnalysing(const AnalysisState& state, Observer& observer);

} // namespace vorthal
