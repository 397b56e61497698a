#include "disk/linux_devices.h"

#include <algorithm>
#include <blkid/blkid.h>
#include <fstream>
#include <regex>

#include "disk/boot_sector.h"

namespace vorthal {
namespace fs = std::filesystem;
namespace {

std::string ReadSysfsText(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

// sysfs gives sizes in 512-byte units whatever the device's sector size.
SectorNumber SysfsSectors(const fs::path& deviceFolder) {
    try {
        return std::stoll(ReadSysfsText(deviceFolder / "size"));
    } catch (const std::exception&) {
        return 0;
    }
}

// sda < sdb < sdaa, loop2 < loop10: digits compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA])))
                ++endA;
            while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB])))
                ++endB;
            const std::string numberA = a.substr(i, endA - i);
            const std::string numberB = b.substr(j, endB - j);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::vector<std::string> SortedEntries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

bool IsUsableDisk(const fs::path& diskFolder, const std::string& name) {
    if (!IsWholeDiskName(name))
        return false;
    if (name.starts_with("loop") && ReadSysfsText(diskFolder / "loop" / "backing_file").empty())
        return false;
    return SysfsSectors(diskFolder) > 0;
}

// Partitions of a disk in the order of their numbers.
std::vector<std::string> PartitionNames(const fs::path& diskFolder) {
    std::vector<std::pair<int, std::string>> numbered;
    for (const std::string& name : SortedEntries(diskFolder)) {
        const std::string number = ReadSysfsText(diskFolder / name / "partition");
        if (number.empty())
            continue;
        try {
            numbered.emplace_back(std::stoi(number), name);
        } catch (const std::exception&) {
        }
    }
    std::sort(numbered.begin(), numbered.end());
    std::vector<std::string> names;
    for (auto& [number, name] : numbered)
        names.push_back(std::move(name));
    return names;
}

} // namespace

bool IsWholeDiskName(const std::string& name) {
    static const std::regex kWholeDisk(R"((sd|hd|vd|xvd)[a-z]+|nvme\d+n\d+|mmcblk\d+|loop\d+)");
    return std::regex_match(name, kWholeDisk);
}

BlkidFacts ProbeLabelAndType(const std::string& deviceNode) {
    BlkidFacts facts;
    blkid_probe probe = blkid_new_probe_from_filename(deviceNode.c_str());
    if (probe == nullptr)
        return facts;
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_TYPE);
    if (blkid_do_safeprobe(probe) == 0) {
        const char* value = nullptr;
        if (blkid_probe_lookup_value(probe, "LABEL", &value, nullptr) == 0 && value != nullptr)
            facts.label = value;
        if (blkid_probe_lookup_value(probe, "TYPE", &value, nullptr) == 0 && value != nullptr)
            facts.type = value;
    }
    blkid_free_probe(probe);
    return facts;
}

LinuxDevicePlatform::LinuxDevicePlatform(fs::path sysfsBlock, fs::path deviceFolder) {
    for (const std::string& name : SortedEntries(sysfsBlock)) {
        const fs::path diskFolder = sysfsBlock / name;
        if (!IsUsableDisk(diskFolder, name))
            continue;
        PhysicalDrive drive;
        drive.number = static_cast<int>(drives_.size());
        drive.devicePath = (deviceFolder / name).string();
        drive.parameters.totalSectors = SysfsSectors(diskFolder);
        if (ReadSysfsText(diskFolder / "removable") == "1")
            drive.parameters.flags = DriveParameters::kRemovableFlag;
        drives_.push_back(drive);
        for (const std::string& partition : PartitionNames(diskFolder)) {
            LogicalVolume volume;
            volume.number = static_cast<int>(volumes_.size()) + 1;
            volume.root = (deviceFolder / partition).string();
            const BlkidFacts facts = ProbeLabelAndType(volume.root);
            volume.label = facts.label;
            volume.fileSystemType = facts.type;
            volumes_.push_back(volume);
        }
    }
}

std::optional<DriveParameters> LinuxDevicePlatform::GetPhysicalDriveParameters(int drive) {
    if (drive < 0 || static_cast<std::size_t>(drive) >= drives_.size())
        return std::nullopt;
    const auto device = FileSectorDevice::Open(drives_[static_cast<std::size_t>(drive)].devicePath);
    if (device == nullptr || device->SizeBytes() <= 0)
        return std::nullopt;
    DriveParameters parameters = drives_[static_cast<std::size_t>(drive)].parameters;
    parameters.totalSectors = device->SizeBytes() / static_cast<std::int64_t>(kSectorSize);
    return parameters;
}

std::int64_t LinuxDevicePlatform::VolumeSizeBytes(int volumeNumber) {
    const auto device = OpenVolume(volumeNumber);
    if (device == nullptr || device->SizeBytes() <= 0)
        return -1;
    std::vector<std::uint8_t> bootSector(kSectorSize);
    if (device->ReadAt(0, bootSector) != static_cast<std::int64_t>(kSectorSize))
        return -1;
    return FileSystemReportedBytes(bootSector, device->SizeBytes());
}

std::unique_ptr<SectorDevice> LinuxDevicePlatform::OpenPath(const std::string& path) {
    return FileSectorDevice::Open(path);
}

std::unique_ptr<SectorDevice> LinuxDevicePlatform::OpenVolume(int volumeNumber) {
    if (volumeNumber < 1 || static_cast<std::size_t>(volumeNumber) > volumes_.size())
        return nullptr;
    return FileSectorDevice::Open(volumes_[static_cast<std::size_t>(volumeNumber) - 1].root);
}

} // namespace vorthal
