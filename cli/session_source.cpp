#include "cli/session_source.h"

#include <iostream>

#include "cli/source_choice.h"
#include "cli/terminal_progress.h"
#include "disk/linux_devices.h"
#include "scan/fragment_line.h"

namespace vorthal::cli {
namespace {

// Scan log lines and messages on standard error; the fragment rows of the window are not shown.
class CliScanObserver final : public ScanObserver {
public:
    void AppendLog(LogPane, const std::string& line) override {
        progress_.Clear();
        std::cerr << line << '\n';
    }
    void ClearLog(LogPane) override {}
    void SetGauge(int percent) override { progress_.Show(percent); }
    void SetStatus(const std::string&) override {}
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon) override {
        progress_.Clear();
        std::cerr << title << ": " << text << '\n';
        lastMessage = text;
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void FragmentRowAdded(const std::string&) override {}
    void LastFragmentRowRemoved() override {}

    std::string lastMessage;

private:
    TerminalProgress progress_{"scanning"};
};

std::int64_t NumberOption(const ParsedOptions& options, const std::string& name, const std::string& fallback) {
    const std::string text = options.Value(name).value_or(fallback);
    const std::optional<std::int64_t> value = ParseInt64Text(text);
    if (!value) throw UsageError(name + " needs a whole number, not '" + text + "'");
    return *value;
}

std::string ScanEndText(ScanEnd end) {
    switch (end) {
    case ScanEnd::kStopped: return "the scan was stopped";
    case ScanEnd::kFreeSpaceMapFailed: return "the free-space map could not be built (try --all-space)";
    case ScanEnd::kFirstFillFailed: return "the source cannot be read";
    case ScanEnd::kInvalidOptions: return "invalid scan range or step";
    case ScanEnd::kCompleted: break;
    }
    return {};
}

} // namespace

void AddScanOptions(OptionSpec& spec) {
    spec.flags.insert("--all-space");
    for (const char* option : {"--kind", "--begin", "--end", "--step", "--file-id", "--max-begin-page"})
        spec.valueOptions.insert(option);
}

std::unique_ptr<Session> NewSession() { return std::make_unique<Session>(std::make_unique<LinuxDevicePlatform>()); }

void ChooseSessionSource(Session& session, const std::string& source, std::optional<bool> kindIsPartition) {
    SourceContext context;
    ChooseSource(context, source, kindIsPartition);
    // The session opens the same device again on its first read: sector access opens devices
    // on demand from the state, and both platforms list the devices in the same order.
    session.dataSource = context.state;
    session.sourceControls = context.controls;
}

void ScanSession(Session& session, const ParsedOptions& options) {
    const SourceControls& controls = session.sourceControls;
    ScanOptions scan;
    scan.beginSector = NumberOption(options, "--begin", controls.edtbegin);
    scan.endSector = NumberOption(options, "--end", controls.edtend);
    scan.step = NumberOption(options, "--step", controls.edtsecs);
    scan.freeSpaceOnly = controls.chkfreespaceChecked && controls.chkfreespaceEnabled && !options.Has("--all-space");
    if (options.Value("--max-begin-page")) {
        scan.limitBeginPage = true;
        scan.maxBeginPage = NumberOption(options, "--max-begin-page", "0");
    }
    const std::int64_t fileId = NumberOption(options, "--file-id", "1");
    if (fileId < 0 || fileId > 0xFFFF) throw UsageError("--file-id must lie between 0 and 65535");
    scan.targetFileNumber = static_cast<std::uint16_t>(fileId);
    CliScanObserver observer;
    session.scanStopped = false; // as SCAN does; nobody stops a scan of the command line
    const ScanEnd end = session.RunScan(scan, observer);
    if (end != ScanEnd::kCompleted) throw CommandFailure(ScanEndText(end));
}

void OpenSavedScan(Session& session, const std::string& scanInfo, const std::optional<std::string>& content,
                   const std::optional<std::string>& source, std::optional<bool> kindIsPartition) {
    if (content && source) throw UsageError("give --content or --source, not both");
    if (const std::optional<ScanInfoError> error = session.OpenScanInfo(scanInfo)) {
        throw CommandFailure("bad scan info file " + scanInfo + ": " + error->Describe());
    }
    if (source) {
        ChooseSessionSource(session, *source, kindIsPartition);
        // The cluster size the scan would have used: the partition's, or 1 for a whole disk,
        // whose sector 0 holds no cluster size.
        session.dataSource.sectorsPerCluster = ParseInt64Text(session.sourceControls.edtsecs).value_or(0);
        return;
    }
    if (!content) return;
    if (const std::optional<std::string> error = session.OpenContentFile(*content))
        throw CommandFailure("cannot use the content file " + *content + ": " + *error);
}

std::int64_t RepairSectorsPerCluster(const Session& session) {
    if (session.ContentFileMode()) return session.contentFile.SavedSectorsPerCluster();
    return session.dataSource.sectorsPerCluster;
}

} // namespace vorthal::cli
