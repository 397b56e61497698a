// What the machine offers as data sources: its whole disks ("physical drives", numbered from
// 0) and their partitions ("volumes", numbered from 1 in place of drive letters), and the
// opening of both. The Linux implementation reads /sys/block; tests give their own lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/page_geometry.h"
#include "disk/sector_device.h"

namespace vorthal {

// The part of a drive's parameter table that source selection uses.
struct DriveParameters {
    static constexpr std::uint16_t kRemovableFlag = 4;
    std::uint16_t flags = 0; // kRemovableFlag for removable media
    SectorNumber totalSectors = 0;
};

struct PhysicalDrive {
    int number = 0;
    std::string devicePath; // what the path layer opens, e.g. /dev/sda
    DriveParameters parameters;
};

struct LogicalVolume {
    int number = 0;    // 1, 2, 3 ... in the order of the list
    std::string root;  // device node, e.g. /dev/sda1
    std::string label; // as the file system records it; empty when it has none
    std::string fileSystemType;
};

class DevicePlatform : public DeviceOpener {
  public:
    // The lists as found when the platform was created; they do not change afterwards.
    virtual std::vector<PhysicalDrive> PhysicalDrives() = 0;
    virtual std::vector<LogicalVolume> Volumes() = 0;

    // Asked again when a drive is chosen; nothing when the drive no longer answers.
    virtual std::optional<DriveParameters> GetPhysicalDriveParameters(int drive) = 0;
    // The volume's size in bytes as its file system reports it; 0 or less when the volume
    // cannot be read (no medium in a card reader, for example).
    virtual std::int64_t VolumeSizeBytes(int volumeNumber) = 0;
};

} // namespace vorthal
