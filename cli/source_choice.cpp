#include "cli/source_choice.h"

#include <sys/stat.h>

#include "cli/options.h"
#include "disk/boot_sector.h"
#include "disk/file_sector_device.h"

namespace vorthal::cli {
namespace {
bool IsBlockDevice(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode);
}

// Two names of the same block device (a node and a link to it, for example).
bool SameBlockDevice(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && S_ISBLK(first.st_mode) &&
           S_ISBLK(second.st_mode) && first.st_rdev == second.st_rdev;
}

// Without --kind, an image whose sector 0 is an NTFS or FAT32 boot sector is a partition.
bool StartsWithBootSector(const std::string& path) {
    const auto device = FileSectorDevice::Open(path);
    std::vector<std::uint8_t> sector(kSectorSize);
    if (device == nullptr || device->ReadAt(0, sector) != static_cast<std::int64_t>(kSectorSize))
        return false;
    return ParseBootSectorBytes(sector).fileSystemName != kUnrecognisedName;
}

void Fail(const SourceContext& context, const std::string& source) {
    const std::string& reason = context.observer.LastMessage();
    throw CommandFailure("cannot use " + source + (reason.empty() ? "" : ": " + reason));
}

bool ChooseBlockDevice(SourceContext& context, const std::string& source,
                       std::optional<bool> kindIsPartition) {
    if (kindIsPartition.value_or(true)) {
        for (const LogicalVolume& volume : context.platform.Volumes()) {
            if (!SameBlockDevice(volume.root, source))
                continue;
            context.kindText = "volume";
            VolumeItem item{volume.root + " " + VolumeLabelText(volume.label), volume.number};
            if (!ChooseVolume(context.selection, context.platform, item))
                Fail(context, source);
            return true;
        }
    }
    if (!kindIsPartition.value_or(false)) {
        for (const PhysicalDrive& drive : context.platform.PhysicalDrives()) {
            if (!SameBlockDevice(drive.devicePath, source))
                continue;
            context.kindText = "physical drive";
            if (!ChoosePhysicalDrive(context.selection, context.platform,
                                     {DriveCaption(drive.number, drive.parameters), drive.number})) {
                Fail(context, source);
            }
            return true;
        }
    }
    return false;
}

} // namespace

void ChooseSource(SourceContext& context, const std::string& source, std::optional<bool> kindIsPartition) {
    if (IsBlockDevice(source) && ChooseBlockDevice(context, source, kindIsPartition))
        return;
    const bool partition = kindIsPartition.value_or(StartsWithBootSector(source));
    context.kindText = partition ? "partition image" : "disk image";
    context.observer.SetPartitionAnswer(partition);
    if (!ChooseImageFile(context.selection, context.platform, source))
        Fail(context, source);
}

} // namespace vorthal::cli
