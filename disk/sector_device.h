// An open data source that can be read at byte offsets: an image file, a block device, or a
// stand-in of the tests. The sector layers read every source through this interface only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/bytes.h"

namespace vorthal {

class SectorDevice {
  public:
    virtual ~SectorDevice() = default;

    // Reads destination.size() bytes starting at byteOffset, in ascending order. Returns the
    // number of bytes delivered into the front of destination before the end of the device or
    // the first failure; bytes behind that count are untouched.
    virtual std::int64_t ReadAt(std::int64_t byteOffset, MutableBytes destination) = 0;

    // Size in bytes, or -1 when the device cannot tell.
    virtual std::int64_t SizeBytes() const = 0;

    // Logical sector size that the device reports, or 0 when it reports no geometry (files).
    virtual std::uint32_t ReportedSectorSize() const = 0;
};

// Opens the devices that the two sector layers name: paths (image files and whole disks) for
// the path layer, volume numbers for the volume layer.
class DeviceOpener {
  public:
    virtual ~DeviceOpener() = default;
    // Nothing when the device cannot be opened for reading.
    virtual std::unique_ptr<SectorDevice> OpenPath(const std::string& path) = 0;
    virtual std::unique_ptr<SectorDevice> OpenVolume(int volumeNumber) = 0;
};

} // namespace vorthal
