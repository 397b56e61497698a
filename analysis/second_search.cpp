#include "analysis/second_search.h"

#include <array>
#include <optional>
#include <string>

#include "analysis/database_catalogue.h"
#include "analysis/fragment_page.h"
#include "analysis/page_interpretation.h"
#include "assembly/split_page_repair.h"

namespace vorthal {
namespace {

constexpr std::int32_t kFileNamePage = 32;
constexpr std::int64_t kWholePageCluster = 16;

PageEvidenceSources SourcesOf(const ChainInputs& inputs) {
    return {inputs.reader, inputs.sectorsPerCluster, inputs.observer};
}

enum class GapResult { kNothingTaken, kTaken, kReadFailed };

// Takes the first candidate whose verdict is `wanted`, logging `foundText` + line in Memo3.
GapResult TakeFirst(AnalysisState& state, const ChainInputs& inputs, const std::vector<std::size_t>& candidates,
                    const std::vector<CandidateVerdict>& verdicts, CandidateVerdict wanted, const char* foundText) {
    // Verdicts stop at the first fitting candidate; the candidates behind it were not looked at.
    for (std::size_t c = 0; c < verdicts.size(); ++c) {
        if (verdicts[c] != wanted) continue;
        const PageOrderEntry& entry = inputs.index[candidates[c]];
        const auto line = static_cast<std::size_t>(entry.lineIndex);
        inputs.observer.AppendLog(LogPane::Assembly, foundText + std::to_string(line));
        state.states.Chain(line);
        const FragmentNumbers& numbers = *inputs.fragments.Numbers(line);
        if (!BuildPageMap(state.pageMap, SourcesOf(inputs), numbers.Pages(), entry.beginPage, numbers.startSector)) {
            inputs.observer.AppendLog(LogPane::Assembly, "get page info error,碎片号" + std::to_string(line));
            return GapResult::kReadFailed;
        }
        return GapResult::kTaken;
    }
    return GapResult::kNothingTaken;
}

// One gap: a fitting fragment if there is one, else one without evidence. The verdicts are
// taken once: the page map does not change until a fragment is taken, so a second look
// would read the same pages to the same end.
GapResult SearchGap(AnalysisState& state, const ChainInputs& inputs, std::int32_t gapBegin, std::int32_t gapEnd) {
    const std::vector<std::size_t> candidates = CollectGapCandidates(inputs.index, gapBegin, gapEnd);
    std::vector<CandidateVerdict> verdicts;
    verdicts.reserve(candidates.size());
    for (std::size_t position : candidates) {
        verdicts.push_back(ClassifyCandidate(state.pageMap, SourcesOf(inputs), inputs.fragments, inputs.index, position,
                                             state.file.sizePages));
        if (verdicts.back() == CandidateVerdict::kFits) break;
    }
    const GapResult fitting = TakeFirst(state, inputs, candidates, verdicts, CandidateVerdict::kFits, "找到碎片号");
    if (fitting != GapResult::kNothingTaken) return fitting;
    return TakeFirst(state, inputs, candidates, verdicts, CandidateVerdict::kNoEvidence, "找到未确定碎片号");
}

// One pass over the gaps of the sorted rows; nothing when it ended early.
std::optional<std::int64_t> SearchPass(AnalysisState& state, const ChainInputs& inputs, SecondSearchEnd& end) {
    const std::vector<CombinationRow>& rows = state.combination.rows;
    std::int64_t found = 0;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const std::int32_t gapBegin = rows[j].endPage;
        const std::int32_t gapEnd = j + 1 < rows.size() ? rows[j + 1].beginPage : state.file.sizePages;
        if (gapBegin > gapEnd) {
            inputs.observer.ShowMessage(kDefaultMessageTitle, "error");
            end = SecondSearchEnd::kRowsOverlap;
            return std::nullopt;
        }
        if (gapBegin == gapEnd) continue;
        const GapResult result = SearchGap(state, inputs, gapBegin, gapEnd);
        if (result == GapResult::kReadFailed) {
            end = SecondSearchEnd::kReadFailed;
            return std::nullopt;
        }
        if (result == GapResult::kTaken) ++found;
    }
    return found;
}

// Page 32 of row `r`; when a cluster boundary may have split it from the next row, the split
// trial puts its tail back from the sectors in front of that row.
bool ReadFileNamePage(const std::vector<CombinationRow>& rows, std::size_t r, const ChainInputs& inputs, PageBuffer& page) {
    const CombinationRow& row = rows[r];
    if (!ReadFragmentPageOrSay(inputs.reader, inputs.observer, kDefaultMessageTitle, row.startSector,
                               kFileNamePage - row.beginPage, page))
        return false;
    const bool mayBeSplit = inputs.sectorsPerCluster < kWholePageCluster && SplitPageTries(inputs.sectorsPerCluster) > 0 &&
                            row.endPage == kFileNamePage + 1 && r + 1 < rows.size() &&
                            rows[r + 1].beginPage == kFileNamePage + 1;
    if (!mayBeSplit) return true;
    std::array<std::uint8_t, kFragmentPrefixBytes> prefix{};
    if (!inputs.reader.ReadFragmentSectors(rows[r + 1].startSector, -kFragmentPrefixSectors,
                                           static_cast<std::int32_t>(kFragmentPrefixSectors), prefix.data())) {
        inputs.observer.ShowMessage(kDefaultMessageTitle, kReadDiskError);
        return false;
    }
    RepairSplitPage(page, prefix, inputs.sectorsPerCluster);
    return true;
}

// The name step: false after a failed read.
bool ReadNameFromPage32(AnalysisState& state, const ChainInputs& inputs) {
    std::vector<CombinationRow>& rows = state.combination.rows;
    if (rows.front().Pages() > kFileNamePage) return true;
    for (std::size_t r = 1; r < rows.size() && rows[r].beginPage <= kFileNamePage; ++r) {
        if (rows[r].endPage <= kFileNamePage) continue;
        PageBuffer page;
        if (!ReadFileNamePage(rows, r, inputs, page)) return false;
        RestoreTornBits(page);
        const std::optional<std::string> name = ReadDatabaseFileName(page);
        state.file.fileName = name.value_or("");
        if (!name) inputs.observer.ShowMessage(kDefaultMessageTitle, "get fileinfo2 error");
        break;
    }
    rows.front().memo = NameWithSize(state.file.fileName, state.file.sizePages);
    return true;
}

} // namespace

std::vector<std::size_t> CollectGapCandidates(const PageOrderIndex& index, std::int32_t gapBegin, std::int32_t gapEnd) {
    std::vector<std::size_t> candidates;
    // Sorted by begin page: past gapEnd no fragment can end inside the gap.
    for (std::size_t k = index.FirstPositionAtOrAfter(gapBegin); k < index.Count() && index[k].beginPage <= gapEnd; ++k)
        if (index[k].endPage <= gapEnd) candidates.push_back(k);
    return candidates;
}

SecondSearchResult SecondSearch(AnalysisState& state, const ChainInputs& inputs) {
    SecondSearchResult result;
    PageMapWriter writer(state);
    if (!writer.Started()) {
        inputs.observer.ShowMessage(kDefaultMessageTitle, kAnalysisStillRunning);
        result.end = SecondSearchEnd::kBusy;
        return result;
    }
    inputs.observer.ClearLog(LogPane::Assembly);
    CombinationList& list = state.combination;
    while (true) {
        ListView4ColumnClick(list, state.fragmentSortColumn, kColumnBeginPage);
        list.EnableButtons(false);
        if (list.rows.empty() || list.rows.front().beginPage != 0) {
            result.end = SecondSearchEnd::kNoFirstPageRow;
            return result;
        }
        ++result.passes;
        const std::optional<std::int64_t> found = SearchPass(state, inputs, result.end);
        if (!found) return result;
        result.found += *found;
        inputs.observer.AppendLog(LogPane::Assembly, "本次找到碎片数量" + std::to_string(*found) + "。二次查找完毕");
        if (*found == 0) break;
        FillCombinationList(list, inputs.fragments, state.states);
    }
    ListView4ColumnClick(list, state.fragmentSortColumn, kColumnBeginPage);
    if (!ReadNameFromPage32(state, inputs)) result.end = SecondSearchEnd::kReadFailed;
    return result;
}

} // namespace vorthal
