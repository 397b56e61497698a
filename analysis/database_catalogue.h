// The database files found: one row per visible fragment that starts at page 0, with the
// file's name and size as far as they are known. The operator picks the file to analyse from
// these rows; the window shows them on the third tab, the command-line tool lists them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/observer.h"
#include "base/page_geometry.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_list.h"

namespace vorthal {

struct DatabaseFileRow {
    std::int32_t caption = 0;       // running row number from 1
    std::string name;               // the memo, or name:sizeKB re-read from a content file
    std::int64_t sizeKb = 0;
    std::int32_t beginPage = 0;
    std::int32_t endPage = 0;       // exclusive
    SectorNumber startSector = 0;
    SectorNumber endSector = 0;     // exclusive
    std::size_t lineIndex = 0;      // the FragmentList line the row shows

    bool operator==(const DatabaseFileRow&) const = default;
};

// The rows, in FragmentList order. A line is listed when it is visible and its begin page is 0
// or less; a line whose numbers cannot be read is not listed. In content-file mode every
// fragment that holds page 32 gets its name and size read again through `reader`
// ("name:NNNKB"); a failure shows its message and leaves that row's memo.
std::vector<DatabaseFileRow> ListDatabaseFiles(const FragmentList& fragments, bool contentFileMode,
                                               FragmentSectorReader& reader, Observer& observer);

// True when the line's visibility flag, blanks trimmed, is "N": the filter of the fragment list
// hides it from every list built from the FragmentList.
bool IsHiddenLine(const FragmentList& fragments, std::size_t line);

// "D:\db\x.mdf:32768KB": the form in which a name and a size in pages are shown together.
std::string NameWithSize(const std::string& fileName, std::int64_t sizePages);

} // namespace vorthal
