#include "disk/sector_access.h"

namespace vorthal {

std::int64_t ClampedSectorCount(const DataSourceState& state, SectorNumber startSector, std::int64_t count) {
    if (startSector < 0 || count < 0)
        return 0;
    const SectorNumber bound = state.readBound;
    if (bound <= 0)
        return count;
    // Written so that no sum can overflow: startSector and count are not negative here.
    if (startSector <= bound && count <= bound + 1 - startSector)
        return count;
    return state.isVolume ? bound - startSector + 1 : bound - startSector;
}

bool SectorAccess::ReadSectors(std::int32_t count, std::uint8_t* destination, SectorNumber startSector) {
    if (count == 0)
        return true;
    if (count < 0 || startSector < 0)
        return false;
    const std::int64_t clamped = ClampedSectorCount(state_, startSector, count);
    if (clamped <= 0)
        return false;
    return state_.isVolume ? ReadVolumeSectors(state_.driveNumber, startSector, clamped, destination)
                           : ReadPathSectors(state_.devicePath, clamped, destination, startSector);
}

bool SectorAccess::ReadVolumeSectors(int drive, SectorNumber startSector, std::int64_t count,
                                     std::uint8_t* destination) {
    return volumeLayer_.Read(
        std::to_string(drive), [&] { return opener_.OpenVolume(drive); }, startSector, count, destination);
}

bool SectorAccess::ReadPathSectors(const std::string& path, std::int64_t count, std::uint8_t* destination,
                                   SectorNumber startSector) {
    return pathLayer_.Read(
        path, [&] { return opener_.OpenPath(path); }, startSector, count, destination);
}

} // namespace vorthal
