// What source selection decides about the data source: which sector layer serves, where the
// source ends, and the layout of a partition's file system. One record per session.
#pragma once

#include <cstdint>
#include <string>

#include "base/page_geometry.h"

namespace vorthal {

struct DataSourceState {
    bool sourceChosen = false;
    // true: reads go to the volume layer (driveNumber); false: to the path layer (devicePath).
    bool isVolume = false;
    // Volume number of a volume source, counted from 1 in the order of the volume list.
    int driveNumber = 0;
    // Device node of a whole disk or path of an image file.
    std::string devicePath;
    SectorNumber sizeSectors = 0;
    // End of the source for the clamp rule of ReadSectors: the last sector of a volume, the
    // number of sectors of a path source; 0 while no bound is known.
    SectorNumber readBound = 0;
    // The source is a partition whose boot sector was parsed.
    bool hasFileSystem = false;
    // "NTFS", "FAT32" or "不可识别".
    std::string fileSystemName;
    // The scan's step as the operator last set it; the split-page repair takes it as the cluster
    // size. The scan overwrites it, so the file system's own cluster size is kept apart.
    std::int64_t sectorsPerCluster = 0;
    // Sectors per cluster of the partition's file system, from its boot sector: the free-space
    // map is read and asked with it, whatever step a scan uses.
    std::int64_t fileSystemClusterSectors = 0;
    // First sector of the cluster area, counted from the start of the source.
    SectorNumber dataStartSector = 0;
    SectorNumber fatReservedSectors = 0;
    SectorNumber fatSectors = 0;
    std::int64_t mftCluster = 0;
};

} // namespace vorthal
