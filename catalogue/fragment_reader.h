// Every re-read of a fragment's sectors after the scan goes through this interface: from the
// data source, or from a fragment content file once one is open. The analysis, the second
// search, the extraction tools and the builder read fragments only through it.
#pragma once

#include <cstdint>

#include "base/page_geometry.h"

namespace vorthal {

class FragmentSectorReader {
public:
    virtual ~FragmentSectorReader() = default;

    // Reads `count` sectors at `offset` sectors (may be negative: -15 reaches the fragment
    // prefix) from the fragment that starts at `fragmentStart` into `destination`, which holds
    // count x 512 bytes. True only when every sector arrived.
    virtual bool ReadFragmentSectors(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count,
                                     std::uint8_t* destination) = 0;
};

} // namespace vorthal
