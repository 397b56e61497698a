// The machine's disks and partitions as Linux shows them: whole disks from /sys/block (SCSI,
// NVMe, virtio, MMC, and loop devices with a backing file), their partitions from sysfs,
// labels and file-system types through libblkid.
#pragma once

#include <filesystem>

#include "disk/device_platform.h"
#include "disk/file_sector_device.h"

namespace vorthal {

class LinuxDevicePlatform final : public DevicePlatform {
  public:
    // Reads the device lists once; sysfsBlock is /sys/block except in tests.
    explicit LinuxDevicePlatform(std::filesystem::path sysfsBlock = "/sys/block",
                                 std::filesystem::path deviceFolder = "/dev");

    std::vector<PhysicalDrive> PhysicalDrives() override { return drives_; }
    std::vector<LogicalVolume> Volumes() override { return volumes_; }
    std::optional<DriveParameters> GetPhysicalDriveParameters(int drive) override;
    std::int64_t VolumeSizeBytes(int volumeNumber) override;

    std::unique_ptr<SectorDevice> OpenPath(const std::string& path) override;
    std::unique_ptr<SectorDevice> OpenVolume(int volumeNumber) override;

  private:
    std::vector<PhysicalDrive> drives_;
    std::vector<LogicalVolume> volumes_;
};

// Whether a name in /sys/block stands for a whole disk that may hold lost data.
bool IsWholeDiskName(const std::string& name);

// The label and file-system type that libblkid finds on a device node; empty when none.
struct BlkidFacts {
    std::string label;
    std::string type;
};
BlkidFacts ProbeLabelAndType(const std::string& deviceNode);

} // namespace vorthal
