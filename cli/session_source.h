// The Session that the workflow commands of vorthal-cli (files, recover) work on: a data
// source chosen as `info` chooses it and scanned with the window's defaults and the scan
// options, or a saved scan info file read from a fragment content file or from its source.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cli/options.h"
#include "workflow/session.h"

namespace vorthal::cli {

// The scan options a workflow command accepts besides its own.
void AddScanOptions(OptionSpec& spec);

std::unique_ptr<Session> NewSession();

// Chooses `source` for the session (throws CommandFailure when it cannot be used).
void ChooseSessionSource(Session& session, const std::string& source, std::optional<bool> kindIsPartition);

// Scans the chosen source with the range, step and free-space default that source selection
// gave, changed by --begin, --end, --step, --all-space, --file-id, --max-begin-page. Throws
// CommandFailure unless the scan reached its end.
void ScanSession(Session& session, const ParsedOptions& options);

// Opens a saved scan: the scan info file, then the content file or the source its fragments
// are read from (at most one of the two). Throws CommandFailure with the reason.
void OpenSavedScan(Session& session, const std::string& scanInfo, const std::optional<std::string>& content,
                   const std::optional<std::string>& source, std::optional<bool> kindIsPartition);

// Sectors per cluster for the split-page repair: the content file's saved value in content
// mode, otherwise the data source's (which the scan sets from its step).
std::int64_t RepairSectorsPerCluster(const Session& session);

} // namespace vorthal::cli
