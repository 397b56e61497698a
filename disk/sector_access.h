// ReadSectors: the one door through which every byte of the data source is read. It applies
// the clamp rule at the end of the source and hands the request to the volume layer or the
// path layer as DataSourceState says.
#pragma once

#include <cstdint>
#include <string>

#include "base/page_geometry.h"
#include "disk/data_source_state.h"
#include "disk/device_layer.h"
#include "disk/sector_device.h"

namespace vorthal {

// The count that the clamp rule leaves of a request: requests that run past readBound end with
// sector readBound (volume) or readBound - 1 (path). Zero or less when the start lies beyond.
std::int64_t ClampedSectorCount(const DataSourceState& state, SectorNumber startSector, std::int64_t count);

class SectorAccess {
  public:
    SectorAccess(const DataSourceState& state, DeviceOpener& opener) : state_(state), opener_(opener) {}

    // Reads count sectors from startSector of the chosen source into destination, which holds
    // count x 512 bytes. Count 0 succeeds without touching the destination; a request that lies
    // wholly beyond the end of the source fails without touching it.
    bool ReadSectors(std::int32_t count, std::uint8_t* destination, SectorNumber startSector);

    bool ReadVolumeSectors(int drive, SectorNumber startSector, std::int64_t count,
                           std::uint8_t* destination);
    bool ReadPathSectors(const std::string& path, std::int64_t count, std::uint8_t* destination,
                         SectorNumber startSector);

    const DeviceLayer& PathLayer() const { return pathLayer_; }
    const DeviceLayer& VolumeLayer() const { return volumeLayer_; }

  private:
    const DataSourceState& state_;
    DeviceOpener& opener_;
    DeviceLayer volumeLayer_;
    DeviceLayer pathLayer_;
};

} // namespace vorthal
