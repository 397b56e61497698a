// vorthal-cli scan: scans a data source, saves the fragments found to a scan info file and,
// with --content, their sectors to a fragment content file; prints the fragment count and the
// database files found.
#include <iostream>

#include "cli/cli_observer.h"
#include "cli/commands.h"
#include "cli/database_file_listing.h"
#include "cli/session_source.h"
#include "cli/terminal_progress.h"

namespace vorthal::cli {
namespace {

// Messages of the content save on standard error, its gauge as progress on a terminal.
class ContentSaveObserver final : public Observer {
public:
    void AppendLog(LogPane pane, const std::string& line) override {
        progress_.Clear();
        messages_.AppendLog(pane, line);
    }
    void ClearLog(LogPane) override {}
    void SetGauge(int percent) override { progress_.Show(percent); }
    void SetStatus(const std::string&) override {}
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        progress_.Clear();
        messages_.ShowMessage(title, text, icon);
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }

    const std::string& LastMessage() const { return messages_.LastMessage(); }

private:
    TerminalProgress progress_{"saving fragment contents"};
    CliObserver messages_;
};

} // namespace

int RunScan(const Arguments& arguments) {
    OptionSpec spec{{}, {"-o", "--content"}, 1};
    AddScanOptions(spec);
    const ParsedOptions options = ParseOptions(arguments, spec);
    const std::optional<std::string> scanInfo = options.Value("-o");
    if (!scanInfo) throw UsageError("-o SCANINFO is required");

    const std::unique_ptr<Session> session = NewSession();
    ChooseSessionSource(*session, options.positionals()[0], KindIsPartition(options));
    ScanSession(*session, options);
    if (const std::optional<ScanInfoError> error = session->SaveScanInfo(*scanInfo))
        throw CommandFailure("cannot save the scan info file: " + error->Describe());
    if (const std::optional<std::string> content = options.Value("--content")) {
        ContentSaveObserver observer;
        if (!session->SaveContentFile(*content, observer))
            throw CommandFailure("cannot save the content file " + *content + ": " + observer.LastMessage());
    }

    std::cout << session->fragments.Count() << " fragment(s)\n";
    PrintDatabaseFiles(*session);
    return 0;
}

} // namespace vorthal::cli
