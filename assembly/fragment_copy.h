// The two steps the builder and the combined extraction share: copying a fragment's pages into
// a page file, and repairing the page split at the joint of two adjacent fragments.
#pragma once

#include <array>
#include <cstdint>

#include "assembly/page_file_writer.h"
#include "base/observer.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_line.h"

namespace vorthal {

using PageBuffer = std::array<std::uint8_t, kPageSize>;

// What to do with a page that cannot be read: write it as zeros and go on (the builder), or
// stop the copy (the extraction tools).
enum class UnreadablePagePolicy { kWriteZeros, kStop };

struct FragmentCopyResult {
    std::int64_t pagesCopied = 0;
    std::int64_t pagesUnreadable = 0;
    bool stoppedAtUnreadable = false; // kStop only: the unreadable page was not written
    bool writeFailed = false;
    bool hasLastPage = false;         // `lastPage` holds the last page appended
};

// Appends the fragment's pages (its size in KB / 8, rounded) to `writer`: page v is 16 sectors
// at offset 16 x v from its start sector. Each unreadable page shows "read disk error" (title
// "提示"). The last page appended is left in `lastPage`.
FragmentCopyResult CopyFragmentPages(const FragmentNumbers& fragment, FragmentSectorReader& reader,
                                     PageFileWriter& writer, Observer& observer, UnreadablePagePolicy policy,
                                     PageBuffer& lastPage);

enum class JointRepairOutcome {
    kUnchanged,        // the page as read passed, or no version passed, or there is no trial
    kRepaired,         // a version with a tail from the prefix passed and replaced the last page
    kPrefixUnreadable, // the 15 sectors before the next fragment could not be read; nothing changed
    kWriteFailed,
};

// The split-page repair at a joint: `jointPage` is the page appended last (the previous
// fragment's last page); the next fragment starts at `nextStart`. On kRepaired `jointPage`
// holds the repaired page, which also replaced the last page of `writer`.
JointRepairOutcome RepairJointPage(PageBuffer& jointPage, SectorNumber nextStart, int sectorsPerCluster,
                                   FragmentSectorReader& reader, PageFileWriter& writer);

} // namespace vorthal
