#include "analysis/analysis_state.h"

namespace vorthal {

void AnalysisState::Clear() {
    file = AnalysedFile{};
    states.Clear();
    pageMap.Reset(0);
    combination.rows.clear();
}

PageMapWriter::PageMapWriter(AnalysisState& state) : state_(state) {
    bool expected = false;
    started_ = state_.analysisRunning.compare_exchange_strong(expected, true);
}

PageMapWriter::~PageMapWriter() {
    if (started_) state_.analysisRunning.store(false);
}

bool RefusedWhileAnalysing(const AnalysisState& state, Observer& observer) {
    if (!state.analysisRunning.load()) return false;
    observer.ShowMessage(kDefaultMessageTitle, kAnalysisStillRunning);
    return true;
}

} // namespace vorthal
