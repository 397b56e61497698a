// Reading the $Bitmap file of an NTFS volume: its file record (record 6 of the master file
// table), the data runs of its $DATA attribute, and the clusters those runs name.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/bytes.h"
#include "disk/free_space_map.h"

namespace vorthal {

inline constexpr std::size_t kFileRecordBytes = 1024;

struct DataRun {
    std::int64_t firstCluster = 0;
    std::int64_t clusterCount = 0;
};

// The offset of the non-resident $DATA attribute in a 1,024-byte file record; nothing when the
// attribute walk meets the end marker, a zero length or the end of the record first.
std::optional<std::size_t> FindDataAttribute(Bytes record);

// The data runs of the attribute at attributeOffset; nothing when the run list leaves the
// record, uses more than 8 bytes for a number, has a sparse run or reaches a negative cluster.
std::optional<std::vector<DataRun>> DecodeDataRuns(Bytes record, std::size_t attributeOffset);

// Appends the content of the $Bitmap file to the map; false after showing the messages.
bool ReadNtfsBitmap(FreeSpaceMap& map, const FreeSpaceSources& sources);
// Appends the sectors of one run to the map; false after showing the message.
bool AppendBitmapRun(FreeSpaceMap& map, const FreeSpaceSources& sources, const DataRun& run);

} // namespace vorthal
