// The machine as the window tests see it: a few drives and volumes in memory, image files held
// in memory under their paths, and "endless" images of zero bytes that a scan cannot finish in
// a test's time, so that a run stays active until it is stopped.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "disk/device_platform.h"
#include "tests/fixtures/fake_device_platform.h"

namespace vorthal::testing {

class ZeroSectorDevice final : public SectorDevice {
  public:
    explicit ZeroSectorDevice(std::int64_t sizeBytes) : sizeBytes_(sizeBytes) {}
    std::int64_t ReadAt(std::int64_t byteOffset, MutableBytes destination) override {
        const std::int64_t available = std::max<std::int64_t>(0, sizeBytes_ - byteOffset);
        const std::int64_t count = std::min(available, static_cast<std::int64_t>(destination.size()));
        std::memset(destination.data(), 0, static_cast<std::size_t>(count));
        return count;
    }
    std::int64_t SizeBytes() const override { return sizeBytes_; }
    std::uint32_t ReportedSectorSize() const override { return 0; }

  private:
    std::int64_t sizeBytes_;
};

class TestDevicePlatform final : public DevicePlatform {
  public:
    void AddZeroImage(const std::string& path, std::int64_t sizeBytes) { zeroImages_[path] = sizeBytes; }

    std::vector<PhysicalDrive> PhysicalDrives() override { return fake.PhysicalDrives(); }
    std::vector<LogicalVolume> Volumes() override { return fake.Volumes(); }
    std::optional<DriveParameters> GetPhysicalDriveParameters(int drive) override {
        return fake.GetPhysicalDriveParameters(drive);
    }
    std::int64_t VolumeSizeBytes(int volumeNumber) override { return fake.VolumeSizeBytes(volumeNumber); }
    std::unique_ptr<SectorDevice> OpenPath(const std::string& path) override {
        const auto zero = zeroImages_.find(path);
        if (zero != zeroImages_.end())
            return std::make_unique<ZeroSectorDevice>(zero->second);
        return fake.OpenPath(path);
    }
    std::unique_ptr<SectorDevice> OpenVolume(int volumeNumber) override {
        return fake.OpenVolume(volumeNumber);
    }

    // Drives, volumes and in-memory images (fake.opener.AddPath).
    fixtures::FakeDevicePlatform fake;

  private:
    std::map<std::string, std::int64_t> zeroImages_;
};

} // namespace vorthal::testing
