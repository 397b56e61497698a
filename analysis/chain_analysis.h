// The chain analysis: from the fragment that starts a database file, the file's size and name,
// the evidence of its allocation pages, and then, in the order of their begin pages, every
// fragment that the evidence says continues the file. Several fragments that fit at the same
// step are resolved by the nearest on the disk (automatic mode) or by asking the operator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "analysis/analysis_state.h"
#include "base/observer.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_list.h"
#include "scan/page_order_index.h"

namespace vorthal {

// The operator's choice among several fitting fragments (the successor choice dialog).
class SuccessorChooser {
public:
    virtual ~SuccessorChooser() = default;
    // AskSuccessor: `candidates` are positions in the PageOrderIndex, in candidate order;
    // `currentLine` the FragmentList index of the fragment chained last. The chosen position, or
    // nothing when the operator cancelled (or anything failed).
    virtual std::optional<std::size_t> AskSuccessor(std::span<const std::size_t> candidates, std::int32_t currentLine) = 0;
};

struct ChainInputs {
    const FragmentList& fragments;
    const PageOrderIndex& index;
    FragmentSectorReader& reader;
    std::int64_t sectorsPerCluster = 0;
    Observer& observer;
    // Nullptr: automatic mode ("自动模式" ticked), the nearest fragment on the disk is taken and
    // nobody is asked.
    SuccessorChooser* chooser = nullptr;
};

// What the analysis takes from the selected row of the database file list.
struct SelectedFile {
    SectorNumber startSector = 0;
    std::int64_t sizeKb = 0;
};

enum class ChainOutcome {
    kCompleted,      // the combination list was refilled
    kNoRowSelected,  // nothing done
    kBusy,           // another run writes the page map; nothing done
    kFailed,         // a read or an interpretation failed; its message was given
    kCancelled,      // the operator cancelled a choice ("用户终止")
};

// AnalyseChain for the selected row (none: nothing happens).
ChainOutcome AnalyseChain(AnalysisState& state, const ChainInputs& inputs, std::optional<SelectedFile> selected);

// The search step of AnalyseChain, once the first fragment's evidence is in the page map and
// state.file.currentLine names it: kCompleted, kFailed or kCancelled.
ChainOutcome SequentialSearch(AnalysisState& state, const ChainInputs& inputs);

// Automatic mode's choice: among the candidates at the head of the list that share the first
// one's begin page, the one whose start sector is nearest to `referenceSector`; on equal
// distance the earlier one.
std::size_t ChooseNearestOnDisk(std::span<const std::size_t> candidates, const FragmentList& fragments,
                                const PageOrderIndex& index, SectorNumber referenceSector);

} // namespace vorthal
