#include "workflow/session.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

#include "scan/source_reads.h"

namespace vorthal {
namespace {

constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

} // namespace

TransferBuffer::TransferBuffer()
    : bytes_(static_cast<std::uint8_t*>(std::aligned_alloc(kHugePageBytes, kTransferBufferBytes))) {
    if (bytes_ == nullptr) throw std::bad_alloc();
    // Only advice: without huge pages the buffer works the same, a little slower.
    madvise(bytes_.get(), kTransferBufferBytes, MADV_HUGEPAGE);
}

void TransferBuffer::Release::operator()(std::uint8_t* bytes) const { std::free(bytes); }

Session::Session(std::unique_ptr<DeviceOpener> opener)
    : deviceOpener(std::move(opener)),
      sectorAccess(dataSource, *deviceOpener) {}

ScanEnd Session::RunScan(const ScanOptions& options, ScanObserver& observer) {
    targetFileNumber = options.targetFileNumber;
    const ScanResources resources{sectorAccess,           dataSource, sourceControls.label5, freeSpaceMap,
                                  transferBuffer.Bytes(), readAheadBuffer.Bytes(), fragments, pageOrderIndex,
                                  scanStopped};
    return vorthal::RunScan(resources, options, observer);
}

bool Session::ReadSourceSectors(std::int32_t count, std::uint8_t* destination, SectorNumber start) {
    return ReadWholeSectors(sectorAccess, dataSource, count, destination, start);
}

bool Session::ReadFragmentSectors(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count,
                                  std::uint8_t* destination) {
    if (contentFile.Mode())
        return contentFile.ReadContentSectors(fragments, offset, count, destination, fragmentStart);
    return ReadSourceSectors(count, destination, fragmentStart + offset);
}

std::optional<ScanInfoError> Session::SaveScanInfo(const std::filesystem::path& path) const {
    return vorthal::SaveScanInfo(fragments, path);
}

std::optional<ScanInfoError> Session::OpenScanInfo(const std::filesystem::path& path) {
    if (std::optional<ScanInfoError> error = vorthal::OpenScanInfo(path, fragments)) return error;
    contentFile.ForgetOffsets();
    // The chain and the page map named lines and sectors of the list just replaced.
    analysis.Clear();
    PageOrderIndexError indexError;
    if (!BuildPageOrderIndex(fragments, pageOrderIndex, &indexError))
        return ScanInfoError{indexError.lineIndex + 1, indexError.detail};
    return std::nullopt;
}

bool Session::SaveContentFile(const std::filesystem::path& path, Observer& observer) {
    const ContentSave save{[this](std::int32_t count, std::uint8_t* destination, SectorNumber start) {
                               return ReadSourceSectors(count, destination, start);
                           },
                           DrawContentKey(), static_cast<std::int16_t>(dataSource.sectorsPerCluster)};
    return vorthal::SaveContentFile(fragments, path, save, observer);
}

std::optional<std::string> Session::OpenContentFile(const std::filesystem::path& path) {
    return contentFile.Open(path, fragments);
}

} // namespace vorthal
