// SectorDevice over a file descriptor opened read-only: image files and block devices.
#pragma once

#include <memory>
#include <string>

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

} // namespace vorthal
