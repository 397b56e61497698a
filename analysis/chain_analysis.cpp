#include "analysis/chain_analysis.h"

#include <algorithm>
#include <limits>
#include <string>

#include "analysis/fragment_page.h"
#include "analysis/page_interpretation.h"

namespace vorthal {
namespace {

constexpr std::int64_t kFileNamePage = 32;
// At most this many further candidates join the first one at a step.
constexpr std::size_t kMaxCandidates = 13;
constexpr const char* kMessTitle = "mess";

PageEvidenceSources SourcesOf(const ChainInputs& inputs) {
    return {inputs.reader, inputs.sectorsPerCluster, inputs.observer};
}

CandidateVerdict Classify(const AnalysisState& state, const ChainInputs& inputs, std::size_t position) {
    return ClassifyCandidate(state.pageMap, SourcesOf(inputs), inputs.fragments, inputs.index, position,
                             state.file.sizePages);
}

// Steps 3 to 5: size from page 0, name from page 32 (or the no-name name).
bool ReadFileSizeAndName(AnalysedFile& file, const ChainInputs& inputs, SectorNumber start, std::int64_t pages) {
    PageBuffer page;
    if (!ReadFragmentPageOrSay(inputs.reader, inputs.observer, kMessTitle, start, 0, page)) return false;
    RestoreTornBits(page);
    const std::optional<std::int32_t> sizePages = ReadDatabaseFileSize(page);
    if (!sizePages) {
        inputs.observer.ShowMessage(kMessTitle, "get fileinfo1 error");
        return false;
    }
    file.sizePages = *sizePages;
    if (pages <= kFileNamePage) {
        file.fileName = kNoNameFileName;
        return true;
    }
    if (!ReadFragmentPageOrSay(inputs.reader, inputs.observer, kDefaultMessageTitle, start, kFileNamePage, page))
        return false;
    RestoreTornBits(page);
    const std::optional<std::string> name = ReadDatabaseFileName(page);
    if (!name) {
        inputs.observer.ShowMessage(kDefaultMessageTitle, "get fileinfo2 error");
        return false;
    }
    file.fileName = *name;
    return true;
}

// The fitting fragments that overlap the one at `first` or each other, at most 13.
std::vector<std::size_t> CollectCandidates(const AnalysisState& state, const ChainInputs& inputs, std::size_t first) {
    std::vector<std::size_t> candidates{first};
    std::int32_t maxEnd = inputs.index[first].endPage;
    for (std::size_t k = first + 1;
         k < inputs.index.Count() && inputs.index[k].beginPage < maxEnd && candidates.size() < kMaxCandidates; ++k) {
        if (Classify(state, inputs, k) != CandidateVerdict::kFits) continue;
        candidates.push_back(k);
        maxEnd = std::max(maxEnd, inputs.index[k].endPage);
    }
    return candidates;
}

SectorNumber StartSectorOfCurrentLine(const AnalysisState& state, const FragmentList& fragments) {
    const std::int32_t line = state.file.currentLine;
    const FragmentNumbers* numbers =
        line >= 0 && static_cast<std::size_t>(line) < fragments.Count() ? fragments.Numbers(static_cast<std::size_t>(line)) : nullptr;
    return numbers != nullptr ? numbers->startSector : state.file.firstStartSector;
}

// The position taken among the candidates; nothing when the operator cancelled.
std::optional<std::size_t> Choose(const AnalysisState& state, const ChainInputs& inputs,
                                  const std::vector<std::size_t>& candidates) {
    if (candidates.size() == 1) return candidates.front();
    if (inputs.chooser == nullptr)
        return ChooseNearestOnDisk(candidates, inputs.fragments, inputs.index, StartSectorOfCurrentLine(state, inputs.fragments));
    const std::optional<std::size_t> chosen = inputs.chooser->AskSuccessor(candidates, state.file.currentLine);
    // An answer that is not one of the candidates is an error of the dialog, taken as a cancel.
    if (!chosen || std::find(candidates.begin(), candidates.end(), *chosen) == candidates.end()) return std::nullopt;
    return chosen;
}

// Marks the line of `position` chained and learns its evidence; false when it cannot be read.
bool Accept(AnalysisState& state, const ChainInputs& inputs, std::size_t position) {
    const auto line = static_cast<std::size_t>(inputs.index[position].lineIndex);
    inputs.observer.AppendLog(LogPane::Analysis, "找到碎片号" + std::to_string(line));
    state.file.currentLine = static_cast<std::int32_t>(line);
    state.states.Chain(line);
    const FragmentNumbers& numbers = *inputs.fragments.Numbers(line);
    if (BuildPageMap(state.pageMap, SourcesOf(inputs), numbers.Pages(), numbers.beginPage, numbers.startSector)) return true;
    inputs.observer.AppendLog(LogPane::Analysis, "get page info error,碎片号" + std::to_string(line));
    return false;
}

// Step 8: every line open, the first line that starts at the selected sector chained.
void ChainFirstFragment(AnalysisState& state, const FragmentList& fragments, SectorNumber start) {
    state.states.Reset(fragments.Count());
    state.file.currentLine = -1;
    for (std::size_t i = 0; i < fragments.Count(); ++i) {
        const FragmentNumbers* numbers = fragments.Numbers(i);
        if (numbers == nullptr || numbers->startSector != start) continue;
        state.states.Chain(i);
        state.file.currentLine = static_cast<std::int32_t>(i);
        return;
    }
}

} // namespace

std::size_t ChooseNearestOnDisk(std::span<const std::size_t> candidates, const FragmentList& fragments,
                                const PageOrderIndex& index, SectorNumber referenceSector) {
    const auto distance = [&](std::size_t position) {
        const FragmentNumbers& numbers = *fragments.Numbers(static_cast<std::size_t>(index[position].lineIndex));
        const SectorNumber difference = numbers.startSector - referenceSector;
        return difference < 0 ? -difference : difference;
    };
    const std::int32_t firstBegin = index[candidates.front()].beginPage;
    std::size_t best = candidates.front();
    SectorNumber bestDistance = distance(best);
    for (std::size_t c = 1; c < candidates.size() && index[candidates[c]].beginPage == firstBegin; ++c) {
        const SectorNumber d = distance(candidates[c]);
        if (d < bestDistance) {
            best = candidates[c];
            bestDistance = d;
        }
    }
    return best;
}

ChainOutcome SequentialSearch(AnalysisState& state, const ChainInputs& inputs) {
    std::int64_t target = state.file.firstFragmentPages;
    std::size_t pos = inputs.index.FirstPositionAtOrAfter(static_cast<std::int32_t>(std::min<std::int64_t>(target, std::numeric_limits<std::int32_t>::max())));
    while (pos < inputs.index.Count()) {
        if (inputs.index[pos].beginPage < target || Classify(state, inputs, pos) != CandidateVerdict::kFits) {
            ++pos;
            continue;
        }
        const std::optional<std::size_t> taken = Choose(state, inputs, CollectCandidates(state, inputs, pos));
        if (!taken) {
            inputs.observer.AppendLog(LogPane::Analysis, "用户终止");
            return ChainOutcome::kCancelled;
        }
        if (!Accept(state, inputs, *taken)) return ChainOutcome::kFailed;
        target = inputs.index[*taken].endPage;
        pos = *taken + 1;
    }
    return ChainOutcome::kCompleted;
}

ChainOutcome AnalyseChain(AnalysisState& state, const ChainInputs& inputs, std::optional<SelectedFile> selected) {
    if (!selected) return ChainOutcome::kNoRowSelected;
    PageMapWriter writer(state);
    if (!writer.Started()) {
        inputs.observer.ShowMessage(kDefaultMessageTitle, kAnalysisStillRunning);
        return ChainOutcome::kBusy;
    }
    const SectorNumber start = selected->startSector;
    const std::int64_t pages = PagesOfSizeKb(selected->sizeKb);
    state.file.firstFragmentPages = pages;
    state.file.firstStartSector = start;
    if (!ReadFileSizeAndName(state.file, inputs, start, pages)) return ChainOutcome::kFailed;

    if (!state.pageMap.Reset(state.file.sizePages)) {
        inputs.observer.ShowMessage(kMessTitle, "out of memory for the page map of " + std::to_string(state.file.sizePages) + " pages");
        return ChainOutcome::kFailed;
    }
    const bool evidenceRead = pages <= 2 ? BuildPageMapFromPfs(state.pageMap, SourcesOf(inputs), pages, 0, start)
                                         : BuildPageMap(state.pageMap, SourcesOf(inputs), pages, 0, start);
    if (!evidenceRead) {
        inputs.observer.ShowMessage(kDefaultMessageTitle, "get page info error");
        return ChainOutcome::kFailed;
    }
    ChainFirstFragment(state, inputs.fragments, start);

    const ChainOutcome outcome = SequentialSearch(state, inputs);
    if (outcome != ChainOutcome::kCompleted) return outcome;
    FillCombinationList(state.combination, inputs.fragments, state.states);
    inputs.observer.AppendLog(LogPane::Analysis, "分析已正常结束,请组合前进行二次查找");
    return ChainOutcome::kCompleted;
}

} // namespace vorthal
