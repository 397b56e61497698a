#include "scan/source_reads.h"

namespace vorthal {

bool ReadWholeSectors(SectorAccess& access, const DataSourceState& state, std::int32_t count,
                      std::uint8_t* destination, SectorNumber start) {
    if (count > 0 && ClampedSectorCount(state, start, count) != count) return false;
    return access.ReadSectors(count, destination, start);
}

} // namespace vorthal
