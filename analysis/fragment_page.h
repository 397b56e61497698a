// Reading one page of a fragment again, the way every analysis step does: page i of the
// fragment at `startSector` is the 16 sectors at offset 16 x i.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/page_interpretation.h"
#include "base/observer.h"
#include "base/page_geometry.h"
#include "catalogue/fragment_reader.h"

namespace vorthal {

using PageBuffer = std::array<std::uint8_t, kPageSize>;

inline constexpr const char* kReadDiskError = "read disk error";

inline bool ReadFragmentPage(FragmentSectorReader& reader, SectorNumber startSector, std::int64_t pageIndex,
                             PageBuffer& page) {
    return reader.ReadFragmentSectors(startSector, pageIndex * kSectorsPerPage, static_cast<std::int32_t>(kSectorsPerPage),
                                      page.data());
}

// The read, with the message the analysis shows when it fails.
inline bool ReadFragmentPageOrSay(FragmentSectorReader& reader, Observer& observer, const char* title,
                                  SectorNumber startSector, std::int64_t pageIndex, PageBuffer& page) {
    if (ReadFragmentPage(reader, startSector, pageIndex, page)) return true;
    observer.ShowMessage(title, kReadDiskError);
    return false;
}

} // namespace vorthal
