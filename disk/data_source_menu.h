// The data-source menu: its fixed items, one item per physical drive and one per volume, with
// the captions the operator sees.
#pragma once

#include <string>
#include <vector>

#include "disk/device_platform.h"

namespace vorthal {

inline constexpr const char* kOpenImageFileCaption = "打开镜像文件";
inline constexpr const char* kMenuSeparator = "-";

struct DriveItem {
    std::string caption; // e.g. "本地磁盘 0 (465.76 GB) "
    int driveNumber = 0;
};

struct VolumeItem {
    std::string text; // root, a blank and the bracketed label, e.g. "/dev/sdb1 [DATA]"
    int volumeNumber = 0;
    std::string Caption() const { return "逻辑分区 " + text + " "; }
};

struct DataSourceMenu {
    std::vector<DriveItem> driveItemTexts;
    std::vector<VolumeItem> volumeItemTexts;
    // Every caption in menu order: the image item, a separator, the drives, a separator, the volumes.
    std::vector<std::string> Captions() const;
};

DataSourceMenu BuildDataSourceMenu(DevicePlatform& platform);

// "本地磁盘 " or "可移动存储 ", the drive number, and the size in MB, or in GB from 1000 MB up.
std::string DriveCaption(int driveNumber, const DriveParameters& parameters);
// The label in upper case between brackets; "[]" for a volume without label or medium.
std::string VolumeLabelText(const std::string& label);

} // namespace vorthal
