#include "workflow/recover.h"

#include <algorithm>
#include <fstream>

#include "analysis/analysis_state.h"
#include "analysis/page_interpretation.h"
#include "workflow/read_ahead_reader.h"

namespace vorthal {
namespace {

// Passes everything on, and keeps the assembly log lines and the last message for the result.
class CapturingObserver final : public Observer {
public:
    explicit CapturingObserver(Observer& inner) : inner_(inner) {}
    void AppendLog(LogPane pane, const std::string& line) override {
        if (pane == LogPane::Assembly) assemblyLines.push_back(line);
        inner_.AppendLog(pane, line);
    }
    void ClearLog(LogPane pane) override {
        if (pane == LogPane::Assembly) assemblyLines.clear();
        inner_.ClearLog(pane);
    }
    void SetGauge(int percent) override { inner_.SetGauge(percent); }
    void SetStatus(const std::string& text) override { inner_.SetStatus(text); }
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        lastMessage = text;
        inner_.ShowMessage(title, text, icon);
    }
    bool AskYesNo(const std::string& title, const std::string& question) override {
        return inner_.AskYesNo(title, question);
    }

    std::vector<std::string> assemblyLines;
    std::string lastMessage;

private:
    Observer& inner_;
};

std::string WithReason(const std::string& what, const std::string& reason) {
    return reason.empty() ? what : what + ": " + reason;
}

std::vector<FragmentNumbers> RowsAsFragments(const CombinationList& list) {
    std::vector<FragmentNumbers> rows;
    rows.reserve(list.rows.size());
    for (const CombinationRow& row : list.rows) {
        rows.push_back({.number = static_cast<std::int32_t>(row.lineIndex), .startSector = row.startSector,
                        .endSector = row.endSector, .sizeKb = row.sizeKb, .beginPage = row.beginPage,
                        .endPage = row.endPage});
    }
    return rows;
}

std::string SecondSearchFailure(SecondSearchEnd end, const std::string& reason) {
    switch (end) {
    case SecondSearchEnd::kBusy: return "another analysis is running";
    case SecondSearchEnd::kNoFirstPageRow: return "the chain does not begin with page 0";
    case SecondSearchEnd::kRowsOverlap: return "fragments of the chain overlap";
    case SecondSearchEnd::kReadFailed: return WithReason("second search: a fragment could not be read", reason);
    case SecondSearchEnd::kCompleted: break;
    }
    return {};
}

std::string BuildFailure(const MdfBuildResult& build) {
    switch (build.status) {
    case MdfBuildResult::Status::kNotStarted: return "the chain does not begin with page 0";
    case MdfBuildResult::Status::kCancelled: return "no output file";
    case MdfBuildResult::Status::kCannotCreate: return WithReason("cannot create the output file", build.error);
    case MdfBuildResult::Status::kWriteFailed:
        return WithReason("the output file is incomplete (" + build.outputPath + ")", build.error);
    case MdfBuildResult::Status::kBuilt: break;
    }
    return {};
}

// Analysis, second search and check; false (with `result.failure`) when the file cannot be built.
bool ChainAndCheck(AnalysisState& state, const ChainInputs& chainInputs, const DatabaseFileRow& row,
                   CapturingObserver& observer, FileRecovery& result) {
    const ChainOutcome chain = AnalyseChain(state, chainInputs, SelectedFile{row.startSector, row.sizeKb});
    result.fileName = state.file.fileName;
    result.sizePages = state.file.sizePages;
    if (chain != ChainOutcome::kCompleted) {
        result.failure = WithReason("analysis failed", observer.lastMessage);
        return false;
    }
    const SecondSearchResult search = SecondSearch(state, chainInputs);
    result.secondSearchFound = search.found;
    result.fileName = state.file.fileName;
    result.fragmentsChained = static_cast<std::int64_t>(state.combination.rows.size());
    if (search.end != SecondSearchEnd::kCompleted) {
        result.failure = SecondSearchFailure(search.end, observer.lastMessage);
        return false;
    }
    if (RefusedWhileAnalysing(state, observer)) {
        result.failure = "another analysis is running";
        return false;
    }
    const std::vector<FragmentNumbers> rows = RowsAsFragments(state.combination);
    result.check = CheckMissingPages(rows, state.file.sizePages,
                                     [&state](std::int32_t page) { return state.pageMap.At(page).allocation; }, observer);
    result.checkLines = observer.assemblyLines;
    if (result.check.outcome != MissingPageReport::Outcome::kComplete) {
        result.failure = result.check.outcome == MissingPageReport::Outcome::kOverlap
                             ? "fragments of the chain overlap or pass the file size"
                             : "the chain does not begin with page 0";
        return false;
    }
    return true;
}

} // namespace

FileRecovery RebuildDatabaseFile(const RecoverInputs& inputs, const DatabaseFileRow& row,
                                 const OutputPathForName& outputPathFor) {
    FileRecovery result;
    result.row = row;
    CapturingObserver observer(inputs.observer);
    AnalysisState state;
    // Every step reads page by page; from the data source the pages come out of windows read
    // ahead. A content file unscrambles page reads only, so it is read as it is.
    ReadAheadReader readAhead(inputs.reader);
    FragmentSectorReader& pageReader = inputs.contentFileMode ? inputs.reader : readAhead;
    const ChainInputs chainInputs{inputs.fragments, inputs.index, pageReader, inputs.sectorsPerCluster, observer,
                                  nullptr};
    if (!ChainAndCheck(state, chainInputs, row, observer, result)) return result;

    const std::vector<FragmentNumbers> rows = RowsAsFragments(state.combination);
    const MdfBuildInput buildInput{rows, state.file.fileName, state.file.sizePages,
                                   static_cast<int>(std::clamp<std::int64_t>(inputs.sectorsPerCluster, 0, 1 << 16))};
    result.build = BuildMdf(buildInput, pageReader, observer, outputPathFor);
    if (!result.build.Succeeded()) result.failure = BuildFailure(result.build);
    return result;
}

FileRecovery RecoverDatabaseFile(const RecoverInputs& inputs, const DatabaseFileRow& row,
                                 const OutputPathForName& outputPathFor) {
    FileRecovery result = RebuildDatabaseFile(inputs, row, outputPathFor);
    if (!result.Succeeded()) return result;
    result.output = CountOutputPages(result.build.outputPath);
    if (!result.output) result.failure = "cannot read the output file back: " + result.build.outputPath;
    return result;
}

std::vector<FileRecovery> RecoverDatabaseFiles(const RecoverInputs& inputs, std::optional<std::int32_t> onlyCaption,
                                               const OutputPathForName& outputPathFor) {
    std::vector<FileRecovery> results;
    const std::vector<DatabaseFileRow> rows =
        ListDatabaseFiles(inputs.fragments, inputs.contentFileMode, inputs.reader, inputs.observer);
    for (const DatabaseFileRow& row : rows) {
        if (onlyCaption && row.caption != *onlyCaption) continue;
        results.push_back(RecoverDatabaseFile(inputs, row, outputPathFor));
    }
    return results;
}

namespace {

// The name as one file name inside the output folder: a name read from a damaged or foreign
// page may hold a slash or be a dot name, which would lead out of the folder.
std::string SafeFileName(const std::string& name) {
    std::string safe = name;
    std::replace(safe.begin(), safe.end(), '/', '_');
    std::replace(safe.begin(), safe.end(), '\0', '_');
    if (safe.empty() || safe == "." || safe == "..") return "noname.mdf";
    return safe;
}

} // namespace

std::filesystem::path UniqueOutputPath(const std::filesystem::path& folder, const std::string& name,
                                       const std::vector<std::filesystem::path>& taken) {
    const std::filesystem::path plain = folder / SafeFileName(name);
    const auto used = [&taken](const std::filesystem::path& path) {
        std::error_code error;
        return std::filesystem::exists(path, error) || std::find(taken.begin(), taken.end(), path) != taken.end();
    };
    if (!used(plain)) return plain;
    const std::string stem = plain.stem().string();
    const std::string extension = plain.extension().string();
    for (int n = 2;; ++n) {
        const std::filesystem::path candidate = folder / (stem + "(" + std::to_string(n) + ")" + extension);
        if (!used(candidate)) return candidate;
    }
}

std::optional<OutputPageCounts> CountOutputPages(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    OutputPageCounts counts;
    std::vector<std::uint8_t> chunk(512 * kPageSize);
    while (in) {
        in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        const std::size_t pages = static_cast<std::size_t>(in.gcount()) / kPageSize;
        for (std::size_t p = 0; p < pages; ++p) {
            const PageBytes page(chunk.data() + p * kPageSize, kPageSize);
            ++counts.pages;
            if (std::all_of(page.begin(), page.end(), [](std::uint8_t b) { return b == 0; })) {
                ++counts.zeroPages;
            } else if (VerifyPage(page)) {
                ++counts.verifiedPages;
            }
        }
    }
    if (in.bad()) return std::nullopt;
    return counts;
}

} // namespace vorthal
