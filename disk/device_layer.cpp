#include "disk/device_layer.h"

#include <bit>
#include <limits>

namespace vorthal {
namespace {

constexpr std::int64_t kSectorBytes = static_cast<std::int64_t>(kSectorSize);
constexpr std::int64_t kPieceBytes = DeviceLayer::kPieceSectors * kSectorBytes;

int RoundedLog2(std::uint32_t value) {
    const int floorLog = static_cast<int>(std::bit_width(value)) - 1;
    const std::uint64_t low = std::uint64_t{1} << floorLog;
    // Nearest power: compare value with the geometric middle, low * sqrt(2), squared.
    return static_cast<std::uint64_t>(value) * value >= 2 * low * low ? floorLog + 1 : floorLog;
}

} // namespace

bool DeviceLayer::Open(const std::string& key, const Opener& open) {
    if (device_ != nullptr && openedFor_ == key)
        return true;
    device_.reset();
    device_ = open();
    openedFor_ = key;
    if (device_ != nullptr && device_->ReportedSectorSize() > 0) {
        sectorSize_ = device_->ReportedSectorSize();
        sectorShift_ = RoundedLog2(sectorSize_);
    }
    return device_ != nullptr;
}

void DeviceLayer::Close() {
    device_.reset();
    openedFor_.clear();
}

bool DeviceLayer::Read(const std::string& key, const Opener& open, SectorNumber startSector,
                       std::int64_t count, std::uint8_t* destination) {
    if (!Open(key, open))
        return false;
    if (count == 0)
        return true;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max() / kSectorBytes;
    if (startSector < 0 || count < 0 || startSector > kLargest - count)
        return false;

    const std::int64_t offset = startSector * kSectorBytes;
    const std::int64_t wanted = count * kSectorBytes;
    // Only whole pieces are delivered. A piece that would run past the end of the device is
    // not read at all, so one large read can stand for the run of pieces before it.
    std::int64_t readable = wanted;
    const std::int64_t size = device_->SizeBytes();
    if (size >= 0 && size - offset < wanted) {
        const std::int64_t available = size > offset ? size - offset : 0;
        readable = available / kPieceBytes * kPieceBytes;
    }
    if (readable > 0) {
        const std::int64_t got =
            device_->ReadAt(offset, MutableBytes(destination, static_cast<std::size_t>(readable)));
        if (got != readable)
            return false;
    }
    return readable == wanted;
}

} // namespace vorthal
