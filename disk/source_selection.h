// Choosing the data source: a physical drive, a volume or an image file. Each choice sets
// DataSourceState and what tab I shows for the source (the scan range, the cluster step, the
// file-system name and the free-space option); messages go to the observer.
#pragma once

#include <string>

#include "base/observer.h"
#include "disk/data_source_menu.h"
#include "disk/data_source_state.h"
#include "disk/device_platform.h"
#include "disk/sector_access.h"

namespace vorthal {

inline constexpr const char* kNoSourceCaption = "......右键设置数据源(RIGHT CLICK TO CHOOSE DS )......";
inline constexpr const char* kImageKindQuestion = "此镜像文件是逻辑分区镜像请选是，是整个磁盘镜像请选否";
inline constexpr const char* kImageKindTitle = "数据文件类型选择";
inline constexpr const char* kBootSectorReadFailedLine = "512error 读取sec0";
inline constexpr const char* kVolumeInvalidMessage = "分区无效！";
inline constexpr const char* kVolumeLayoutFailedMessage = "取分区信息失败";
inline constexpr const char* kImageLayoutFailedMessage = "取分区信息失败2";
inline constexpr const char* kImageUnreadableMessage = "无法打开镜像文件：";
inline constexpr const char* kImageEmptyMessage = "镜像文件为空：";
inline constexpr const char* kDriveGoneMessage = "磁盘无法访问：";

// The controls of tab I that source selection fills, as texts and states.
struct SourceControls {
    std::string edtDataStr = kNoSourceCaption;
    std::string edtbegin;
    std::string edtend;
    std::string edtsecs;
    std::string label5;
    bool chkfreespaceChecked = true;
    bool chkfreespaceEnabled = true;
};

// What a choice works on: the session's state, its sector access and controls, and the observer.
struct SourceSelection {
    DataSourceState& state;
    SectorAccess& access;
    SourceControls& controls;
    Observer& observer;
};

// Each returns true when the source was chosen and its layout, where it has one, was read.
bool ChoosePhysicalDrive(SourceSelection& selection, DevicePlatform& platform, const DriveItem& item);
bool ChooseVolume(SourceSelection& selection, DevicePlatform& platform, const VolumeItem& item);
// Asks the observer whether the image holds a partition (Yes) or a whole disk (No).
bool ChooseImageFile(SourceSelection& selection, DeviceOpener& opener, const std::string& path);

// Reads sector 0 of the chosen source and sets the file-system fields of the state.
bool ParseBootSector(SourceSelection& selection);

} // namespace vorthal
