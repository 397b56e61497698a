#include "disk/boot_sector.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vorthal {
namespace {

constexpr std::int64_t kSectorBytes = static_cast<std::int64_t>(kSectorSize);

bool HasText(Bytes sector, std::size_t offset, const char* text) {
    return std::memcmp(sector.data() + offset, text, std::strlen(text)) == 0;
}

// NTFS writes cluster sizes above 128 sectors as a negative power of two.
std::int64_t NtfsSectorsPerCluster(std::uint8_t value) {
    if (value <= 0x80)
        return value;
    const int power = 256 - value;
    return power < 31 ? std::int64_t{1} << power : 0;
}

SectorNumber Fat32TotalSectors(Bytes sector) {
    const std::uint16_t small = LoadLE16(sector.data() + 19);
    return small != 0 ? small : static_cast<SectorNumber>(LoadLE32(sector.data() + 32));
}

} // namespace

BootSectorLayout ParseBootSectorBytes(Bytes sector) {
    BootSectorLayout layout;
    if (HasText(sector, 3, "NTFS")) {
        layout.fileSystemName = kNtfsName;
        layout.sectorsPerCluster = NtfsSectorsPerCluster(sector[13]);
        layout.mftCluster = LoadLE64Signed(sector.data() + 48);
        return layout;
    }
    layout.sectorsPerCluster = sector[13];
    if (HasText(sector, 82, "FAT32")) {
        layout.fileSystemName = kFat32Name;
        // Reserved sectors are an unsigned 16-bit count: up to 65,535.
        layout.fatReservedSectors = LoadLE16(sector.data() + 14);
        layout.fatSectors = LoadLE32(sector.data() + 36);
        layout.dataStartSector = layout.fatReservedSectors + 2 * layout.fatSectors;
    }
    return layout;
}

ClusterRange VolumeClusterRange(Bytes sector) {
    const BootSectorLayout layout = ParseBootSectorBytes(sector);
    if (layout.sectorsPerCluster <= 0)
        return {};
    if (layout.fileSystemName == kNtfsName) {
        const SectorNumber total = LoadLE64Signed(sector.data() + 40);
        // Byte sizes of the volume must stay within 64 bits.
        if (total <= 0 || total > std::numeric_limits<std::int64_t>::max() / kSectorBytes)
            return {};
        return {0, total / layout.sectorsPerCluster};
    }
    if (layout.fileSystemName == kFat32Name) {
        const SectorNumber clusterArea = Fat32TotalSectors(sector) - layout.dataStartSector;
        return {2, std::max<SectorNumber>(clusterArea, 0) / layout.sectorsPerCluster};
    }
    return {};
}

std::int64_t FileSystemReportedBytes(Bytes sector, std::int64_t deviceBytes) {
    const BootSectorLayout layout = ParseBootSectorBytes(sector);
    const ClusterRange clusters = VolumeClusterRange(sector);
    if (clusters.clusterCount <= 0)
        return deviceBytes;
    const std::int64_t reported = clusters.clusterCount * layout.sectorsPerCluster * kSectorBytes;
    const std::int64_t room = deviceBytes - layout.dataStartSector * kSectorBytes;
    return std::clamp<std::int64_t>(reported, 0, std::max<std::int64_t>(room, 0));
}

} // namespace vorthal
