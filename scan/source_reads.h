// Reads of the data source that deliver every sector asked for or fail: ReadSectors shortens a
// request at the end of the source and still reports success, and a scan must never take the
// bytes left in a buffer behind such a short read for data.
#pragma once

#include <cstdint>
#include <functional>

#include "base/page_geometry.h"
#include "disk/data_source_state.h"
#include "disk/sector_access.h"

namespace vorthal {

// Reads count sectors at start into destination (count x 512 bytes); true only when all arrived.
using SourceSectorReader = std::function<bool(std::int32_t count, std::uint8_t* destination, SectorNumber start)>;

// ReadSectors that fails when the clamp rule would shorten the request.
bool ReadWholeSectors(SectorAccess& access, const DataSourceState& state, std::int32_t count,
                      std::uint8_t* destination, SectorNumber start);

} // namespace vorthal
