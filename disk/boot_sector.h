// The parts of an NTFS or FAT32 boot sector that source selection and the free-space map use.
// Pure functions over the 512 bytes of sector 0 of a partition.
#pragma once

#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "base/page_geometry.h"

namespace vorthal {

inline constexpr const char* kNtfsName = "NTFS";
inline constexpr const char* kFat32Name = "FAT32";
inline constexpr const char* kUnrecognisedName = "不可识别";

struct BootSectorLayout {
    std::string fileSystemName = kUnrecognisedName;
    std::int64_t sectorsPerCluster = 0;
    SectorNumber dataStartSector = 0;
    SectorNumber fatReservedSectors = 0; // FAT32
    SectorNumber fatSectors = 0;         // FAT32
    std::int64_t mftCluster = 0;         // NTFS
};

// sector holds at least 512 bytes. NTFS is tested first; a sector that carries neither
// signature gives "不可识别" with data start 0.
BootSectorLayout ParseBootSectorBytes(Bytes sector);

// The clusters that the file system counts: FAT32 numbers them from 2, NTFS from 0. Count 0
// when the boot sector gives no usable geometry.
struct ClusterRange {
    std::int64_t firstCluster = 0;
    std::int64_t clusterCount = 0;
};
ClusterRange VolumeClusterRange(Bytes sector);

// The size of a volume in bytes as its file system reports it: the cluster area for FAT32, the
// clusters of the whole volume for NTFS, never more than the device holds; the device's size
// for anything else.
std::int64_t FileSystemReportedBytes(Bytes sector, std::int64_t deviceBytes);

} // namespace vorthal
