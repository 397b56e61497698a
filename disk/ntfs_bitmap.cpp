#include "disk/ntfs_bitmap.h"

#include <algorithm>
#include <limits>
#include <string>

namespace vorthal {
namespace {

constexpr std::uint32_t kDataAttributeType = 0x80;
constexpr std::uint32_t kEndMarker = 0xFFFFFFFF;
// The $Bitmap file is record 6; records are 1,024 bytes, two sectors.
constexpr SectorNumber kBitmapRecordSector = 12;
constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

// The unsigned value of size little-endian bytes (size at most 8).
std::uint64_t LoadUnsigned(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i > 0; --i)
        value = (value << 8) | bytes[i - 1];
    return value;
}

// The same bytes as a signed change: the top bit of the last byte gives the sign.
std::int64_t LoadSigned(const std::uint8_t* bytes, std::size_t size) {
    const std::uint64_t value = LoadUnsigned(bytes, size);
    if (size == 8 || (bytes[size - 1] & 0x80) == 0)
        return static_cast<std::int64_t>(value);
    const std::uint64_t extended = value | (~std::uint64_t{0} << (8 * size));
    return static_cast<std::int64_t>(extended);
}

bool ProductFits(std::int64_t a, std::int64_t b) {
    return a >= 0 && b > 0 && a <= kLargest / b;
}

} // namespace

std::optional<std::size_t> FindDataAttribute(Bytes record) {
    if (record.size() < kFileRecordBytes)
        return std::nullopt;
    std::size_t offset = LoadLE16(record.data() + 20);
    while (offset + 8 <= kFileRecordBytes) {
        const std::uint32_t type = LoadLE32(record.data() + offset);
        const std::uint16_t length = LoadLE16(record.data() + offset + 4);
        if (type == kEndMarker || length == 0)
            return std::nullopt;
        if (type == kDataAttributeType) {
            // Only a non-resident attribute has data runs; its run offset lies at +32.
            const bool nonResident = record[offset + 8] == 1;
            if (!nonResident || offset + 34 > kFileRecordBytes)
                return std::nullopt;
            return offset;
        }
        offset += length;
    }
    return std::nullopt;
}

std::optional<std::vector<DataRun>> DecodeDataRuns(Bytes record, std::size_t attributeOffset) {
    std::vector<DataRun> runs;
    std::size_t position = attributeOffset + LoadLE16(record.data() + attributeOffset + 32);
    std::int64_t cluster = 0;
    while (position < kFileRecordBytes && record[position] != 0) {
        const std::size_t lengthSize = record[position] & 0x0F;
        const std::size_t offsetSize = record[position] >> 4;
        if (lengthSize == 0 || lengthSize > 8 || offsetSize == 0 || offsetSize > 8)
            return std::nullopt;
        if (position + 1 + lengthSize + offsetSize > kFileRecordBytes)
            return std::nullopt;
        const std::uint64_t length = LoadUnsigned(record.data() + position + 1, lengthSize);
        const std::uint8_t* offsetBytes = record.data() + position + 1 + lengthSize;
        if (runs.empty()) {
            const std::uint64_t first = LoadUnsigned(offsetBytes, offsetSize);
            if (first > static_cast<std::uint64_t>(kLargest))
                return std::nullopt;
            cluster = static_cast<std::int64_t>(first);
        } else {
            const std::int64_t change = LoadSigned(offsetBytes, offsetSize);
            if ((change > 0 && cluster > kLargest - change) || cluster + change < 0)
                return std::nullopt;
            cluster += change;
        }
        if (length > static_cast<std::uint64_t>(kLargest))
            return std::nullopt;
        runs.push_back({cluster, static_cast<std::int64_t>(length)});
        position += 1 + lengthSize + offsetSize;
    }
    if (position >= kFileRecordBytes)
        return std::nullopt;
    return runs;
}

bool AppendBitmapRun(FreeSpaceMap& map, const FreeSpaceSources& sources, const DataRun& run) {
    const std::int64_t sectorsPerCluster = sources.state.fileSystemClusterSectors;
    const bool fits = ProductFits(run.firstCluster, sectorsPerCluster) &&
                      ProductFits(run.clusterCount, sectorsPerCluster) &&
                      run.firstCluster * sectorsPerCluster <= kLargest - run.clusterCount * sectorsPerCluster;
    const SectorNumber first = fits ? run.firstCluster * sectorsPerCluster : -1;
    const auto failed = [&] {
        sources.observer.ShowMessage(kDefaultMessageTitle, std::string(kBitmapRunReadFailedMessage) + "1sec" +
                                                               std::to_string(first));
        return false;
    };
    if (!fits)
        return failed();
    const SectorNumber end = first + run.clusterCount * sectorsPerCluster;
    std::vector<std::uint8_t>& bytes = map.bytes();
    // Read in large pieces straight into the map; the map grows only by what was read.
    for (SectorNumber piece = first; piece < end; piece += kTransferSectors) {
        const std::int64_t count = std::min(end - piece, kTransferSectors);
        const std::size_t before = bytes.size();
        bytes.resize(before + static_cast<std::size_t>(count) * kSectorSize);
        // A run that the clamp rule would cut short points past the end of the source.
        const bool whole = ClampedSectorCount(sources.state, piece, count) == count;
        if (!whole ||
            !sources.access.ReadSectors(static_cast<std::int32_t>(count), bytes.data() + before, piece)) {
            bytes.resize(before);
            return failed();
        }
    }
    return true;
}

bool ReadNtfsBitmap(FreeSpaceMap& map, const FreeSpaceSources& sources) {
    const DataSourceState& state = sources.state;
    const bool located = ProductFits(state.mftCluster, state.fileSystemClusterSectors) &&
                         state.mftCluster * state.fileSystemClusterSectors <= kLargest - kBitmapRecordSector;
    const SectorNumber recordSector =
        located ? state.mftCluster * state.fileSystemClusterSectors + kBitmapRecordSector : -1;
    std::vector<std::uint8_t> record(kFileRecordBytes);
    if (!located || ClampedSectorCount(state, recordSector, 2) != 2 ||
        !sources.access.ReadSectors(2, record.data(), recordSector)) {
        sources.observer.ShowMessage(kDefaultMessageTitle, std::string(kBitmapReadFailedMessage) + "1sec" +
                                                               std::to_string(recordSector));
        return false;
    }
    const std::optional<std::size_t> attribute = FindDataAttribute(record);
    if (!attribute)
        return false;
    const std::optional<std::vector<DataRun>> runs = DecodeDataRuns(record, *attribute);
    if (!runs)
        return false;
    for (const DataRun& run : *runs) {
        if (!AppendBitmapRun(map, sources, run)) {
            sources.observer.ShowMessage(kDefaultMessageTitle, kBitmapRunFailedMessage);
            return false;
        }
    }
    return true;
}

} // namespace vorthal
