// vorthal-cli recover: the whole workflow in automatic mode for every database file found (or
// one row): analysis, second search, check and build, each rebuilt file under the name recorded
// in the database, the check's lines, a summary and optionally a JSON report.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_report.h"
#include "cli/session_source.h"
#include "workflow/recover.h"

namespace vorthal::cli {
namespace {

// Messages on standard error; the log lines are printed from the results instead.
class RecoverObserver final : public Observer {
public:
    void AppendLog(LogPane, const std::string&) override {}
    void ClearLog(LogPane) override {}
    void SetGauge(int) override {}
    void SetStatus(const std::string&) override {}
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon) override {
        std::cerr << title << ": " << text << '\n';
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

std::optional<std::int32_t> FileRow(const ParsedOptions& options) {
    const std::optional<std::string> text = options.Value("--file");
    if (!text) return std::nullopt;
    const std::optional<std::int32_t> row = ParseInt32Text(*text);
    if (!row || *row < 1) throw UsageError("--file needs a row number from 1, not '" + *text + "'");
    return row;
}

void OpenInput(Session& session, const ParsedOptions& options) {
    const std::optional<bool> kind = KindIsPartition(options);
    if (const std::optional<std::string> scanInfo = options.Value("--scan-info")) {
        if (!options.Value("--content") && !options.Value("--source"))
            throw UsageError("--scan-info needs --content or --source");
        OpenSavedScan(session, *scanInfo, options.Value("--content"), options.Value("--source"), kind);
        return;
    }
    if (options.Value("--content") || options.Value("--source"))
        throw UsageError("--content and --source go with --scan-info");
    ChooseSessionSource(session, options.positionals()[0], kind);
    ScanSession(session, options);
}

void PrintRecovery(const FileRecovery& file) {
    std::cout << "file " << file.row.caption << ": " << (file.fileName.empty() ? file.row.name : file.fileName);
    if (file.sizePages > 0) std::cout << " (" << file.sizePages << " pages)";
    std::cout << '\n';
    for (const std::string& line : file.checkLines) std::cout << "  " << line << '\n';
    if (!file.Succeeded()) {
        std::cout << "  not rebuilt: " << file.failure << '\n';
        return;
    }
    const MdfBuildResult& build = file.build;
    std::cout << "  written " << build.outputPath << ": " << file.fragmentsChained << " fragments, "
              << build.pagesCopied << " pages copied, " << build.pagesZeroFilled << " zero pages, "
              << build.pagesUnreadable << " unreadable, " << file.check.missingPfsPages.size()
              << " missing PFS pages, " << file.check.missingAllocatedPages.size() << " missing allocated pages, "
              << file.output->verifiedPages << " pages pass verification\n";
}

} // namespace

int RunRecover(const Arguments& arguments) {
    OptionSpec spec{{}, {"-o", "--file", "--report", "--scan-info", "--content", "--source"}, 1};
    AddScanOptions(spec);
    if (std::find(arguments.begin(), arguments.end(), "--scan-info") != arguments.end()) spec.positionals = 0;
    const ParsedOptions options = ParseOptions(arguments, spec);
    const std::optional<std::string> outputFolder = options.Value("-o");
    if (!outputFolder) throw UsageError("-o OUTDIR is required");
    const std::optional<std::int32_t> onlyRow = FileRow(options);

    // The output folder first: a long scan must not end in nowhere to write.
    std::error_code error;
    std::filesystem::create_directories(*outputFolder, error);
    if (error) throw CommandFailure("cannot create the output folder " + *outputFolder + ": " + error.message());
    const std::unique_ptr<Session> session = NewSession();
    OpenInput(*session, options);

    RecoverObserver observer;
    const RecoverInputs inputs{session->fragments, session->pageOrderIndex, *session, RepairSectorsPerCluster(*session),
                               session->ContentFileMode(), observer};
    std::vector<std::filesystem::path> taken;
    const OutputPathForName outputPathFor = [&](const std::string& proposed) -> std::optional<std::string> {
        taken.push_back(UniqueOutputPath(*outputFolder, proposed, taken));
        return taken.back().string();
    };
    const std::vector<FileRecovery> files = RecoverDatabaseFiles(inputs, onlyRow, outputPathFor);
    for (const FileRecovery& file : files) PrintRecovery(file);

    const auto rebuilt = std::count_if(files.begin(), files.end(), [](const FileRecovery& f) { return f.Succeeded(); });
    std::cout << "summary: " << rebuilt << " of " << files.size() << " database file(s) rebuilt\n";
    if (const std::optional<std::string> report = options.Value("--report")) WriteJsonReport(*report, files);
    if (files.empty()) {
        throw CommandFailure(onlyRow ? "no database file in row " + std::to_string(*onlyRow)
                                     : std::string("no database file found"));
    }
    if (rebuilt < static_cast<std::ptrdiff_t>(files.size())) {
        throw CommandFailure(std::to_string(files.size() - static_cast<std::size_t>(rebuilt)) + " of " +
                             std::to_string(files.size()) + " database file(s) could not be rebuilt");
    }
    return 0;
}

} // namespace vorthal::cli
