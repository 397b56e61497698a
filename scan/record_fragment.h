// RecordFragment: turns one run of pages found by the scan into a fragment line and a row of the
// fragment list view. A fragment that starts at page 0 gets the file's size, and for longer
// runs its name, read from pages 0 and 32, as its memo.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/page_geometry.h"
#include "scan/fragment_list.h"
#include "scan/scan_observer.h"
#include "scan/source_reads.h"

namespace vorthal {

inline constexpr const char* kInvalidFileHeaderMemo = "无效文件头";
inline constexpr const char* kReadDiskErrorMessage = "read disk error";
inline constexpr const char* kFileSizeUnreadableLine = "get fileinfo1 error";
inline constexpr const char* kFileNameUnreadableLine = "get fileinfo2 error";
inline constexpr const char* kUnknownFileName = "none";
// Page-0 fragments up to this many pages are described by their size only.
inline constexpr std::int32_t kShortFileStartPages = 32;

// What RecordFragment works with during one scan.
struct FragmentRecorder {
    FragmentList& fragments;
    ScanObserver& observer;
    SourceSectorReader readSource;
    // The begin-page limit: only fragments whose begin page is below maxBeginPage are recorded.
    bool limitBeginPage = false;
    std::int64_t maxBeginPage = 0;
    // Memo handed over by the scan for fragments that begin at page 0.
    std::string pendingMemo;
};

// The size text of a file of `pages` pages: "1.95 GB" from 1000 MB on, else "999.00 MB".
std::string FileSizeText(std::int64_t pages);

// The line RecordFragment would record, or nothing when the fragment is not recorded (beyond
// the begin-page limit, or a page-0 fragment whose page 0 or 32 cannot be read: the message
// has been shown).
std::optional<std::string> MakeFragmentLine(FragmentRecorder& recorder, std::int32_t fragmentNumber,
                                             std::int32_t pages, std::int32_t beginPage, SectorNumber startSector);

// Appends the fragment's line and row; false when it is not recorded.
bool RecordFragment(FragmentRecorder& recorder, std::int32_t fragmentNumber, std::int32_t pages,
                    std::int32_t beginPage, SectorNumber startSector);

// Replaces the last line and row by the fragment's; when the fragment is not recorded the last
// line stays as it was, so that a failed read never loses a fragment already found.
bool ReplaceLastFragment(FragmentRecorder& recorder, std::int32_t fragmentNumber, std::int32_t pages,
                         std::int32_t beginPage, SectorNumber startSector);

} // namespace vorthal
