// One sector layer: the device it holds open, what it was opened for and the sector size that
// the device reported. The path layer and the volume layer are two instances.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/page_geometry.h"
#include "disk/sector_device.h"

namespace vorthal {

class DeviceLayer {
  public:
    using Opener = std::function<std::unique_ptr<SectorDevice>()>;

    // Reads count 512-byte sectors from startSector of the device named by key into destination,
    // opening the device through open first unless the layer already holds it. Sectors are
    // addressed in 512-byte units whatever the device reports, so a request never moves more than
    // count x 512 bytes. The request counts as pieces of 128 sectors read in order: when a piece
    // cannot be read whole, the pieces before it stay in the destination and the result is false.
    // Pieces past the end of the device are never touched; after a device error the failed
    // piece may hold the bytes that the device delivered before the error.
    bool Read(const std::string& key, const Opener& open, SectorNumber startSector, std::int64_t count,
              std::uint8_t* destination);

    void Close();

    bool HoldsDevice() const { return device_ != nullptr; }
    const std::string& OpenedFor() const { return openedFor_; }
    // Sector size reported by the last device that reported one (512 until then).
    std::uint32_t SectorSize() const { return sectorSize_; }
    int SectorShift() const { return sectorShift_; }

    static constexpr std::int64_t kPieceSectors = 128;

  private:
    bool Open(const std::string& key, const Opener& open);

    std::unique_ptr<SectorDevice> device_;
    std::string openedFor_;
    std::uint32_t sectorSize_ = 512;
    int sectorShift_ = 9;
};

} // namespace vorthal
