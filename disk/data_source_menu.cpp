#include "disk/data_source_menu.h"

#include <cctype>
#include <cstdio>

namespace vorthal {

std::string DriveCaption(int driveNumber, const DriveParameters& parameters) {
    const double megabytes = static_cast<double>(parameters.totalSectors) / 2048.0;
    char size[64];
    if (megabytes >= 1000) {
        std::snprintf(size, sizeof size, "%.2f GB)", megabytes / 1024.0);
    } else {
        std::snprintf(size, sizeof size, "%.2f MB)", megabytes);
    }
    const bool removable = (parameters.flags & DriveParameters::kRemovableFlag) != 0;
    return std::string(removable ? "可移动存储 " : "本地磁盘 ") + std::to_string(driveNumber) + " (" + size +
           " ";
}

std::string VolumeLabelText(const std::string& label) {
    std::string upper = label;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "[" + upper + "]";
}

std::vector<std::string> DataSourceMenu::Captions() const {
    std::vector<std::string> captions{kOpenImageFileCaption, kMenuSeparator};
    for (const DriveItem& item : driveItemTexts)
        captions.push_back(item.caption);
    captions.push_back(kMenuSeparator);
    for (const VolumeItem& item : volumeItemTexts)
        captions.push_back(item.Caption());
    return captions;
}

DataSourceMenu BuildDataSourceMenu(DevicePlatform& platform) {
    DataSourceMenu menu;
    for (const PhysicalDrive& drive : platform.PhysicalDrives()) {
        menu.driveItemTexts.push_back({DriveCaption(drive.number, drive.parameters), drive.number});
    }
    for (const LogicalVolume& volume : platform.Volumes()) {
        menu.volumeItemTexts.push_back({volume.root + " " + VolumeLabelText(volume.label), volume.number});
    }
    return menu;
}

} // namespace vorthal
