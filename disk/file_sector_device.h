// SectorDevice over a file descriptor opened read-only: image files and block devices.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "disk/sector_device.h"

namespace vorthal {

class FileSectorDevice final : public SectorDevice {
public:
    // Nothing when the path cannot be opened for reading; errorText then says why.
    static std::unique_ptr<FileSectorDevice> Open(const std::string& path, std::string* errorText = nullptr);

    ~FileSectorDevice() override;
    FileSectorDevice(const FileSectorDevice&) = delete;
    FileSectorDevice& operator=(const FileSectorDevice&) = delete;

    std::int64_t ReadAt(std::int64_t byteOffset, MutableBytes destination) override;
    std::int64_t SizeBytes() const override { return sizeBytes_; }
    std::uint32_t ReportedSectorSize() const override { return reportedSectorSize_; }

private:
    FileSectorDevice(int descriptor, std::int64_t sizeBytes, std::uint32_t reportedSectorSize);

    int descriptor_;
    std::int64_t sizeBytes_;
    std::uint32_t reportedSectorSize_;
};

// Opens paths as files or block devices; volume numbers through the given list of device nodes
// (volume n is entry n - 1).
class FileDeviceOpener : public DeviceOpener {
public:
    std::unique_ptr<SectorDevice> OpenPath(const std::string& path) override;
    std::unique_ptr<SectorDevice> OpenVolume(int volumeNumber) override;
    void SetVolumeNodes(std::vector<std::string> nodes) { volumeNodes_ = std::move(nodes); }

private:
    std::vector<std::string> volumeNodes_;
};

} // namespace vorthal
