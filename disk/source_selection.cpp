#include "disk/source_selection.h"

#include <vector>

#include "disk/boot_sector.h"

namespace vorthal {
namespace {

constexpr std::int64_t kSectorBytes = static_cast<std::int64_t>(kSectorSize);

void ShowWholeSource(SourceSelection& selection) {
    DataSourceState& state = selection.state;
    SourceControls& controls = selection.controls;
    state.hasFileSystem = false;
    controls.chkfreespaceChecked = false;
    controls.chkfreespaceEnabled = false;
    state.readBound = state.sizeSectors;
    controls.edtbegin = "0";
    controls.edtend = std::to_string(state.sizeSectors);
    controls.edtsecs = "1";
    controls.label5.clear();
}

// The range and step of a partition whose boot sector was read. scanEnd is the sector where
// the source ends for the scan and the clamp rule.
void ShowPartition(SourceSelection& selection, SectorNumber scanEnd) {
    DataSourceState& state = selection.state;
    SourceControls& controls = selection.controls;
    controls.chkfreespaceChecked = true;
    controls.edtbegin = std::to_string(state.dataStartSector);
    controls.edtend = std::to_string(scanEnd);
    state.readBound = scanEnd;
    controls.edtsecs = std::to_string(state.sectorsPerCluster);
    controls.label5 = state.fileSystemName;
}

} // namespace

bool ParseBootSector(SourceSelection& selection) {
    std::vector<std::uint8_t> sector(kSectorSize);
    if (!selection.access.ReadSectors(1, sector.data(), 0)) {
        selection.observer.AppendLog(LogPane::Scan, kBootSectorReadFailedLine);
        return false;
    }
    const BootSectorLayout layout = ParseBootSectorBytes(sector);
    DataSourceState& state = selection.state;
    state.fileSystemName = layout.fileSystemName;
    state.sectorsPerCluster = layout.sectorsPerCluster;
    state.fileSystemClusterSectors = layout.sectorsPerCluster;
    state.dataStartSector = layout.dataStartSector;
    if (layout.fileSystemName == kNtfsName)
        state.mftCluster = layout.mftCluster;
    if (layout.fileSystemName == kFat32Name) {
        state.fatReservedSectors = layout.fatReservedSectors;
        state.fatSectors = layout.fatSectors;
    }
    return true;
}

bool ChoosePhysicalDrive(SourceSelection& selection, DevicePlatform& platform, const DriveItem& item) {
    const std::optional<DriveParameters> parameters = platform.GetPhysicalDriveParameters(item.driveNumber);
    if (!parameters) {
        selection.observer.ShowMessage(kDefaultMessageTitle, kDriveGoneMessage + item.caption,
                                       MessageIcon::Warning);
        return false;
    }
    DataSourceState& state = selection.state;
    state.isVolume = false;
    state.sourceChosen = true;
    selection.controls.edtDataStr = item.caption;
    for (const PhysicalDrive& drive : platform.PhysicalDrives()) {
        if (drive.number == item.driveNumber)
            state.devicePath = drive.devicePath;
    }
    state.sizeSectors = parameters->totalSectors;
    ShowWholeSource(selection);
    return true;
}

bool ChooseVolume(SourceSelection& selection, DevicePlatform& platform, const VolumeItem& item) {
    const std::int64_t sizeBytes = platform.VolumeSizeBytes(item.volumeNumber);
    if (sizeBytes <= 0) {
        selection.observer.ShowMessage(kDefaultMessageTitle, kVolumeInvalidMessage, MessageIcon::Warning);
        return false;
    }
    DataSourceState& state = selection.state;
    state.driveNumber = item.volumeNumber;
    state.sizeSectors = sizeBytes / kSectorBytes - 1;
    selection.controls.edtDataStr = item.text;
    state.sourceChosen = true;
    state.isVolume = true;
    state.hasFileSystem = true;
    selection.controls.chkfreespaceChecked = false;
    selection.controls.chkfreespaceEnabled = true;
    if (!ParseBootSector(selection)) {
        selection.observer.ShowMessage(kDefaultMessageTitle, kVolumeLayoutFailedMessage);
        return false;
    }
    // The volume layer's clamp reads up to and including this sector: the volume's last.
    ShowPartition(selection, state.dataStartSector + state.sizeSectors);
    return true;
}

bool ChooseImageFile(SourceSelection& selection, DeviceOpener& opener, const std::string& path) {
    if (path.empty())
        return false;
    const std::unique_ptr<SectorDevice> image = opener.OpenPath(path);
    if (image == nullptr || image->SizeBytes() < 0) {
        selection.observer.ShowMessage(kDefaultMessageTitle, kImageUnreadableMessage + path,
                                       MessageIcon::Warning);
        return false;
    }
    if (image->SizeBytes() < kSectorBytes) {
        selection.observer.ShowMessage(kDefaultMessageTitle, kImageEmptyMessage + path, MessageIcon::Warning);
        return false;
    }
    DataSourceState& state = selection.state;
    selection.controls.edtDataStr = path;
    state.sizeSectors = image->SizeBytes() / kSectorBytes;
    state.isVolume = false;
    state.devicePath = path;
    state.sourceChosen = true;
    state.hasFileSystem = false;
    selection.controls.chkfreespaceChecked = false;
    selection.controls.chkfreespaceEnabled = false;
    if (!selection.observer.AskYesNo(kImageKindTitle, kImageKindQuestion)) {
        ShowWholeSource(selection);
        return true;
    }
    state.hasFileSystem = true;
    selection.controls.chkfreespaceEnabled = true;
    if (!ParseBootSector(selection)) {
        selection.observer.ShowMessage(kDefaultMessageTitle, kImageLayoutFailedMessage);
        return false;
    }
    // The image ends where the file ends: a scan range that ran on by the size of the FAT
    // area would read past the end of the file.
    ShowPartition(selection, state.sizeSectors);
    return true;
}

} // namespace vorthal
