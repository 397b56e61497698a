#include "disk/free_space_map.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

#include "disk/boot_sector.h"
#include "disk/ntfs_bitmap.h"

namespace vorthal {
namespace {

constexpr std::size_t kEntriesPerSector = kSectorSize / 4;
constexpr std::size_t kFatBlockBytes = static_cast<std::size_t>(kTransferSectors) * kEntriesPerSector / 8;

// One bit per FAT entry of a piece; any nonzero entry is in use, end-of-chain and bad marks
// included.
void MarkUsedEntries(Bytes piece, std::vector<std::uint8_t>& block) {
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    const std::size_t entries = piece.size() / 4;
    for (std::size_t entry = 0; entry < entries; ++entry) {
        if (LoadLE32(piece.data() + entry * 4) != 0) {
            block[entry / 8] = static_cast<std::uint8_t>(block[entry / 8] | (1u << (entry % 8)));
        }
    }
}

bool ReadFirstFat(FreeSpaceMap& map, const FreeSpaceSources& sources, MutableBytes transferBuffer) {
    const DataSourceState& state = sources.state;
    const SectorNumber end = state.fatReservedSectors + state.fatSectors;
    std::vector<std::uint8_t> block(kFatBlockBytes);
    for (SectorNumber piece = state.fatReservedSectors; piece < end; piece += kTransferSectors) {
        const std::int64_t count = std::min(end - piece, kTransferSectors);
        std::fill(transferBuffer.begin(), transferBuffer.end(), std::uint8_t{0});
        // A FAT that the clamp rule would cut short runs past the end of the source.
        const bool whole = ClampedSectorCount(state, piece, count) == count;
        if (!whole ||
            !sources.access.ReadSectors(static_cast<std::int32_t>(count), transferBuffer.data(), piece)) {
            sources.observer.ShowMessage(kDefaultMessageTitle, kFatReadFailedMessage + std::to_string(piece));
            return false;
        }
        MarkUsedEntries(transferBuffer.first(static_cast<std::size_t>(count) * kSectorSize), block);
        map.bytes().insert(map.bytes().end(), block.begin(), block.end());
    }
    return true;
}

} // namespace

bool FreeSpaceMap::IsBitSet(std::int64_t cluster) const {
    if (cluster < 0)
        return false;
    const auto byte = static_cast<std::uint64_t>(cluster / 8);
    if (byte >= bytes_.size())
        return false;
    return ((static_cast<unsigned>(bytes_[byte]) >> (cluster % 8)) & 1u) != 0;
}

bool FreeSpaceMap::IsClusterAllocated(SectorNumber sector, std::string_view label5,
                                      std::int64_t sectorsPerCluster, SectorNumber dataStartSector) const {
    if (sectorsPerCluster <= 0 || sector < 0)
        return false;
    if (label5 == kFat32Name) {
        // Sectors before the cluster area have no cluster; they are examined, since a format
        // with another layout may have left old data there.
        if (sector < dataStartSector)
            return false;
        return IsBitSet((sector - dataStartSector) / sectorsPerCluster + 2);
    }
    if (label5 == kNtfsName)
        return IsBitSet(sector / sectorsPerCluster);
    return false;
}

std::int64_t FreeSpaceMap::CountSetBits(std::int64_t first, std::int64_t count) const {
    std::int64_t set = 0;
    const std::int64_t end = std::min(first + count, static_cast<std::int64_t>(bytes_.size()) * 8);
    std::int64_t cluster = std::max<std::int64_t>(first, 0);
    for (; cluster < end && cluster % 8 != 0; ++cluster)
        set += IsBitSet(cluster) ? 1 : 0;
    for (; cluster + 8 <= end; cluster += 8)
        set += std::popcount(bytes_[static_cast<std::size_t>(cluster / 8)]);
    for (; cluster < end; ++cluster)
        set += IsBitSet(cluster) ? 1 : 0;
    return set;
}

bool BuildFreeSpaceMap(FreeSpaceMap& map, const FreeSpaceSources& sources, MutableBytes transferBuffer) {
    if (transferBuffer.size() < kTransferBufferBytes)
        throw std::invalid_argument("transfer buffer below 6 MiB");
    map.bytes().clear();
    if (sources.state.fileSystemName == kFat32Name) {
        return ReadFirstFat(map, sources, transferBuffer.first(kTransferBufferBytes));
    }
    if (sources.state.fileSystemName == kNtfsName && !ReadNtfsBitmap(map, sources)) {
        sources.observer.ShowMessage(kDefaultMessageTitle, kBitmapFileFailedMessage);
        return false;
    }
    return true;
}

} // namespace vorthal
