// The whole recovery of database files in automatic mode, as the command-line tool runs it:
// for each database file found (or one of them), the chain analysis with the nearest fitting
// fragment taken at every choice, the second search until a pass finds nothing, the missing-
// page check and the build, with a result per file that says what was done and what was not.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/chain_analysis.h"
#include "analysis/database_catalogue.h"
#include "analysis/second_search.h"
#include "assembly/mdf_builder.h"
#include "assembly/missing_page_check.h"
#include "base/observer.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_list.h"
#include "scan/page_order_index.h"

namespace vorthal {

struct RecoverInputs {
    const FragmentList& fragments;
    const PageOrderIndex& index;
    FragmentSectorReader& reader;
    std::int64_t sectorsPerCluster = 0;
    bool contentFileMode = false;
    Observer& observer;
};

// What the rebuilt file holds, page by page, read back after the build.
struct OutputPageCounts {
    std::int64_t pages = 0;
    std::int64_t zeroPages = 0;
    std::int64_t verifiedPages = 0; // not all zero, and VerifyPage accepts them
};

struct FileRecovery {
    DatabaseFileRow row;              // the database file list row it started from
    std::string fileName;             // as recorded in the database (or "c:\noname.mdf")
    std::int32_t sizePages = 0;
    std::int64_t fragmentsChained = 0;
    std::int64_t secondSearchFound = 0;
    MissingPageReport check;
    std::vector<std::string> checkLines; // the check's log lines, in order
    MdfBuildResult build;
    std::optional<OutputPageCounts> output;
    // Empty when the file was rebuilt; otherwise the one line that says why not.
    std::string failure;
    bool Succeeded() const { return failure.empty(); }
};

// The output path for a proposed name; nothing when no file may be written.
using OutputPathForName = std::function<std::optional<std::string>(const std::string& proposedName)>;

// One database file: analysis, second search, check, build. The check's "error" (rows that
// overlap) ends the file before the build: a file with pages at wrong offsets is no recovery.
FileRecovery RebuildDatabaseFile(const RecoverInputs& inputs, const DatabaseFileRow& row,
                                 const OutputPathForName& outputPathFor);
// RebuildDatabaseFile, then the rebuilt file read back for its page counts (`output`).
FileRecovery RecoverDatabaseFile(const RecoverInputs& inputs, const DatabaseFileRow& row,
                                 const OutputPathForName& outputPathFor);

// Every row of ListDatabaseFiles, or only the row with caption `onlyCaption`.
std::vector<FileRecovery> RecoverDatabaseFiles(const RecoverInputs& inputs, std::optional<std::int32_t> onlyCaption,
                                               const OutputPathForName& outputPathFor);

// `name` in `folder` when no such file exists, else name(2), name(3) ... before the extension;
// names already handed out in this run (`taken`) count as existing. An empty name is
// "noname.mdf"; a slash in the name becomes "_" so that no name leads out of the folder.
std::filesystem::path UniqueOutputPath(const std::filesystem::path& folder, const std::string& name,
                                       const std::vector<std::filesystem::path>& taken);

// Reads the file back page by page; nothing when it cannot be read.
std::optional<OutputPageCounts> CountOutputPages(const std::filesystem::path& path);

} // namespace vorthal
