// The free-space map: one bit per cluster of a FAT32 or NTFS partition, set when the file
// system has the cluster in use, built from the first FAT or from the $Bitmap file. The scan
// asks it for every position when it examines free clusters only.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/observer.h"
#include "base/page_geometry.h"
#include "disk/data_source_state.h"
#include "disk/sector_access.h"

namespace vorthal {

// The scan's read window and the size of one FAT piece: 12,288 sectors, 6 MiB.
inline constexpr std::int64_t kTransferSectors = 12288;
inline constexpr std::size_t kTransferBufferBytes = static_cast<std::size_t>(kTransferSectors) * kSectorSize;

inline constexpr const char* kFatReadFailedMessage = "读bitmap错误sec";
inline constexpr const char* kBitmapReadFailedMessage = "读bitmap错误";
inline constexpr const char* kBitmapFileFailedMessage = "取$bitmap文件失败";
inline constexpr const char* kBitmapRunReadFailedMessage = "512bitmaperror";
inline constexpr const char* kBitmapRunFailedMessage = "error,写bitmap内容失败";

class FreeSpaceMap {
  public:
    // True when the cluster holding sector is in use. label5 names the rule: "FAT32" counts
    // clusters from dataStartSector with the first one numbered 2; "NTFS" counts from sector 0.
    // Any other text, a sector before the FAT32 cluster area, a cluster beyond the map or a
    // step of 0 gives false, so such sectors are examined.
    bool IsClusterAllocated(SectorNumber sector, std::string_view label5, std::int64_t sectorsPerCluster,
                            SectorNumber dataStartSector) const;

    bool IsBitSet(std::int64_t cluster) const;
    // Set bits among clusters first to first + count - 1.
    std::int64_t CountSetBits(std::int64_t first, std::int64_t count) const;

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

// Everything a build reads through and reports to.
struct FreeSpaceSources {
    SectorAccess& access;
    const DataSourceState& state;
    Observer& observer;
};

// Replaces the map with the allocation record of the partition that state describes. Returns
// true when built; on failure the messages have been shown and the map holds what was read.
// transferBuffer holds at least kTransferBufferBytes.
bool BuildFreeSpaceMap(FreeSpaceMap& map, const FreeSpaceSources& sources, MutableBytes transferBuffer);

} // namespace vorthal
