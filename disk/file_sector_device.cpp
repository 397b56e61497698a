#include "disk/file_sector_device.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorthal {
namespace {

struct DeviceFacts {
    std::int64_t sizeBytes = -1;
    std::uint32_t sectorSize = 0;
};

DeviceFacts QueryFacts(int descriptor) {
    DeviceFacts facts;
    struct stat status {};
    if (fstat(descriptor, &status) != 0)
        return facts;
    if (S_ISREG(status.st_mode)) {
        facts.sizeBytes = status.st_size;
        return facts;
    }
    if (S_ISBLK(status.st_mode)) {
        std::uint64_t bytes = 0;
        if (ioctl(descriptor, BLKGETSIZE64, &bytes) == 0)
            facts.sizeBytes = static_cast<std::int64_t>(bytes);
        int logicalSectorSize = 0;
        if (ioctl(descriptor, BLKSSZGET, &logicalSectorSize) == 0 && logicalSectorSize > 0) {
            facts.sectorSize = static_cast<std::uint32_t>(logicalSectorSize);
        }
    }
    return facts;
}

} // namespace

std::unique_ptr<FileSectorDevice> FileSectorDevice::Open(const std::string& path, std::string* errorText) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errorText != nullptr)
            *errorText = std::strerror(errno);
        return nullptr;
    }
    const DeviceFacts facts = QueryFacts(descriptor);
    return std::unique_ptr<FileSectorDevice>(
        new FileSectorDevice(descriptor, facts.sizeBytes, facts.sectorSize));
}

FileSectorDevice::FileSectorDevice(int descriptor, std::int64_t sizeBytes, std::uint32_t reportedSectorSize)
    : descriptor_(descriptor), sizeBytes_(sizeBytes), reportedSectorSize_(reportedSectorSize) {}

FileSectorDevice::~FileSectorDevice() {
    ::close(descriptor_);
}

std::int64_t FileSectorDevice::ReadAt(std::int64_t byteOffset, MutableBytes destination) {
    std::size_t delivered = 0;
    while (delivered < destination.size()) {
        const ssize_t got =
            ::pread(descriptor_, destination.data() + delivered, destination.size() - delivered,
                    static_cast<off_t>(byteOffset) + static_cast<off_t>(delivered));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        delivered += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(delivered);
}

} // namespace vorthal
