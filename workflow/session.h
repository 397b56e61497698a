// Session: the process-wide state of one recovery, which the window owns for its whole life
// and tests create as they like. It is a plain aggregate of the parts each step works on; the
// few methods here tie parts together where a step uses several of them.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/analysis_state.h"
#include "base/observer.h"
#include "catalogue/content_file.h"
#include "catalogue/fragment_reader.h"
#include "catalogue/scan_info_file.h"
#include "disk/data_source_state.h"
#include "disk/free_space_map.h"
#include "disk/sector_access.h"
#include "disk/sector_device.h"
#include "disk/source_selection.h"
#include "scan/fragment_list.h"
#include "scan/page_order_index.h"
#include "scan/scan_loop.h"

namespace vorthal {

// A buffer of kTransferBufferBytes, allocated once and never cleared: every read fills what it
// uses, and clearing 6 MiB for nothing costs as much as reading it from the page cache. It is
// aligned for huge pages, which spare the scan a page fault and a TLB miss per 4 KiB.
class TransferBuffer {
public:
    TransferBuffer();
    std::span<std::uint8_t> Bytes() { return {bytes_.get(), kTransferBufferBytes}; }

private:
    struct Release {
        void operator()(std::uint8_t* bytes) const;
    };
    std::unique_ptr<std::uint8_t, Release> bytes_;
};

class Session final : public FragmentSectorReader {
public:
    explicit Session(std::unique_ptr<DeviceOpener> opener);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The data source: what source selection decided, the controls of tab I it filled, and the
    // sector access over the devices the opener gives.
    std::unique_ptr<DeviceOpener> deviceOpener;
    DataSourceState dataSource;
    SourceControls sourceControls;
    SectorAccess sectorAccess;
    FreeSpaceMap freeSpaceMap;
    // The scan's read window and the one read ahead, kTransferBufferBytes each, allocated once.
    TransferBuffer transferBuffer;
    TransferBuffer readAheadBuffer;

    // What the scans found.
    FragmentList fragments;
    PageOrderIndex pageOrderIndex;
    std::uint16_t targetFileNumber = 1;
    // False while a scan runs and no stop was asked for; the window's STOP sets it.
    std::atomic<bool> scanStopped{true};

    // The fragment content file opened last; while one is open every fragment read uses it.
    ContentFile contentFile;

    // The database file under analysis: AnalysedFile, FragmentState, PageMap, combination list.
    AnalysisState analysis;

    SourceSelection Selection(Observer& observer) { return {dataSource, sectorAccess, sourceControls, observer}; }

    // A whole scan with these options; the target file number is taken from the options.
    ScanEnd RunScan(const ScanOptions& options, ScanObserver& observer);

    // ContentFileMode.
    bool ContentFileMode() const { return contentFile.Mode(); }
    bool ReadFragmentSectors(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count,
                             std::uint8_t* destination) override;

    std::optional<ScanInfoError> SaveScanInfo(const std::filesystem::path& path) const;
    // Replaces the FragmentList with the file's lines and rebuilds the PageOrderIndex; on an
    // error nothing changes.
    std::optional<ScanInfoError> OpenScanInfo(const std::filesystem::path& path);
    // Draws a key and writes the content file of every fragment from the data source.
    bool SaveContentFile(const std::filesystem::path& path, Observer& observer);
    // Opens a content file for the current FragmentList; see ContentFile::Open.
    std::optional<std::string> OpenContentFile(const std::filesystem::path& path);

    // ReadSectors that fails rather than deliver fewer sectors than asked for.
    bool ReadSourceSectors(std::int32_t count, std::uint8_t* destination, SectorNumber start);
};

} // namespace vorthal
