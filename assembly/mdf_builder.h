// The MDF builder: writes the rebuilt database file from the chain (the combination list in
// page order). Each fragment's pages are copied as read, gaps between fragments and the rest up
// to the file size become zero pages, and the page a cluster boundary may have split at the
// joint of two adjacent fragments is repaired. Page n of the database lands at byte n x 8192
// as long as the rows are in page order without overlaps.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/observer.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_line.h"

namespace vorthal {

// The name proposed for the output: the part of the recorded path after its last backslash,
// or the whole path when it has none ("c:\noname.mdf" gives "noname.mdf").
std::string ProposedOutputName(std::string_view fileName);

// Asked with the proposed name once the build is sure to start; the path of the file to
// create, or nothing when the operator cancels.
using ChooseOutputPath = std::function<std::optional<std::string>(const std::string& proposedName)>;

struct MdfBuildInput {
    std::span<const FragmentNumbers> rows; // in displayed order, sorted by begin page
    std::string fileName;                  // the path recorded in the database
    std::int32_t sizePages = 0;            // the file size from its file header page
    int sectorsPerCluster = 0;             // of the data source; the repair runs below 16 only
};

struct MdfBuildResult {
    enum class Status {
        kNotStarted,   // no rows, or the first row does not begin at page 0
        kCancelled,    // no output path chosen
        kCannotCreate, // "error,无法创建文件"
        kWriteFailed,  // the output is incomplete
        kBuilt,        // every page written ("组合完毕")
    };
    Status status = Status::kNotStarted;
    std::string outputPath;
    std::string error;                  // why the output could not be created or written
    std::int64_t pagesCopied = 0;       // pages read from fragments (unreadable ones not included)
    std::int64_t pagesZeroFilled = 0;   // gap pages and pages filled up to the file size
    std::int64_t pagesUnreadable = 0;   // pages that could not be read, written as zero pages
    std::int64_t splitPagesRepaired = 0; // joint pages whose tail was taken from the next prefix
    std::int64_t pagesWritten = 0;      // the output's length in pages
    bool Succeeded() const { return status == Status::kBuilt; }
};

// The whole build. Clears the assembly log; a page that cannot be read shows "read disk error"
// and is written as zeros; ends with "组合完毕" only when every page reached the file. Moves
// the gauge once per row.
MdfBuildResult BuildMdf(const MdfBuildInput& input, FragmentSectorReader& reader, Observer& observer,
                        const ChooseOutputPath& chooseOutputPath);

} // namespace vorthal
