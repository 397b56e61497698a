// Generated database files cut into fragments at chosen sectors of an in-memory disk, with the
// inputs of a chain analysis over them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/chain_analysis.h"
#include "tests/fixtures/database_builder.h"
#include "tests/fixtures/fragment_image.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal::testing {

// A successor chooser that answers from a script and records what it was asked.
class ScriptedChooser final : public SuccessorChooser {
public:
    std::optional<std::size_t> AskSuccessor(std::span<const std::size_t> candidates, std::int32_t currentLine) override {
        asked.emplace_back(candidates.begin(), candidates.end());
        askedCurrentLines.push_back(currentLine);
        if (!pickIndex) return std::nullopt;
        return candidates[*pickIndex];
    }

    std::optional<std::size_t> pickIndex;  // which candidate to take; none: cancel
    std::vector<std::vector<std::size_t>> asked;
    std::vector<std::int32_t> askedCurrentLines;
};

// Everything one analysis needs: the disk with its fragment lines, the log, the state.
struct ChainBench {
    fixtures::FragmentImage image;
    fixtures::RecordingObserver observer;
    AnalysisState state;
    std::int64_t sectorsPerCluster = 16;
    SuccessorChooser* chooser = nullptr;

    ChainInputs Inputs() { return {image.fragments, image.index, image, sectorsPerCluster, observer, chooser}; }
    ChainOutcome Analyse(std::size_t firstLine) {
        image.BuildIndex();
        const FragmentNumbers& first = *image.fragments.Numbers(firstLine);
        return AnalyseChain(state, Inputs(), SelectedFile{first.startSector, first.sizeKb});
    }
    std::vector<std::string>& Memo2() { return observer.Log(LogPane::Analysis); }
    std::vector<std::string>& Memo3() { return observer.Log(LogPane::Assembly); }
    std::vector<std::size_t> RowLines() const {
        std::vector<std::size_t> lines;
        for (const CombinationRow& row : state.combination.rows) lines.push_back(row.lineIndex);
        return lines;
    }
};

inline constexpr std::int32_t kObjectA = 1001;
inline constexpr std::int32_t kObjectB = 1002;
inline constexpr std::int32_t kObjectC = 1003;
inline constexpr std::int32_t kObjectE = 1004;
inline constexpr std::int32_t kObjectF = 1005;

// A file of 320 pages: A on 8..23, B on 40..119, C on 120..135 (its IAM page 200 lies further
// on, in E's and F's fragment), E on 136..199, F on 208..255; 256..319 free.
inline fixtures::DatabaseSpec GapFileSpec(fixtures::Protection protection) {
    fixtures::DatabaseSpec spec;
    spec.pages = 320;
    spec.protection = protection;
    spec.objects = {
        {.objectId = kObjectA, .iamPage = 2, .firstPage = 8, .pageCount = 16},
        {.objectId = kObjectB, .iamPage = 3, .firstPage = 40, .pageCount = 80},
        {.objectId = kObjectC, .iamPage = 200, .firstPage = 120, .pageCount = 16},
        {.objectId = kObjectE, .iamPage = 4, .firstPage = 136, .pageCount = 64},
        {.objectId = kObjectF, .iamPage = 5, .firstPage = 208, .pageCount = 48},
    };
    return spec;
}

// Lines 0 to 4: [0,40) at 10000, [40,120) at 12000, [120,136) at 14000, [136,256) at 16000,
// [256,320) at 20000. The analysis chains 0, 1 and 3: C's pages have no evidence until its IAM
// page in line 3 is read, and the free pages of line 4 have none at all.
struct GapFile {
    std::vector<fixtures::Page> pages;
    static constexpr SectorNumber kStarts[] = {10000, 12000, 14000, 16000, 20000};
    static constexpr std::int32_t kBegins[] = {0, 40, 120, 136, 256, 320};

    explicit GapFile(fixtures::Protection protection) : pages(fixtures::BuildDatabasePages(GapFileSpec(protection))) {}

    void PlaceAll(fixtures::FragmentImage& image) const {
        for (std::size_t f = 0; f < 5; ++f)
            image.AddFragment(pages, kBegins[f], kBegins[f + 1] - kBegins[f], kStarts[f],
                              f == 0 ? "C:\\Data\\fixture.mdf(2.50 MB)" : " ");
    }
};

} // namespace vorthal::testing
