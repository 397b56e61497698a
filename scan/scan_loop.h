// RunScan: walks a sector range of the data source in fixed steps, recognises at each candidate
// position a database page of the target file, follows each run of pages whose numbers rise by
// one every 16 sectors, joins a run to the previous fragment across a short gap where their page
// numbers agree with their distance, and records every fragment in the FragmentList.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

#include "base/page_geometry.h"
#include "disk/data_source_state.h"
#include "disk/free_space_map.h"
#include "disk/sector_access.h"
#include "scan/fragment_list.h"
#include "scan/page_order_index.h"
#include "scan/scan_observer.h"

namespace vorthal {

inline constexpr const char* kBuildingFreeSpaceMapPhrase = "正在取分区存储位图";
inline constexpr const char* kFreeSpaceMapFailedMessage = "生成存储位图失败";
inline constexpr const char* kScanStartedPhrase = "开始扫描";
inline constexpr const char* kScanStoppedStatus = "已停止扫描";
inline constexpr const char* kScanCompletedPhrase = "完成";
inline constexpr const char* kPositionReadFailedTag = "512error";
inline constexpr const char* kFileStartPageReadFailedTag = "8192errorhead";
inline constexpr const char* kRunPageReadFailedTag = "8192error";

// The largest gap between a fragment's end and a run that may still be joined to it: 8,088 pages.
inline constexpr std::int64_t kMaxJoinGapSectors = 129408;
// Steps from this size on are taken as one page.
inline constexpr std::int64_t kLargestStep = 31;

// The options of tab I, as numbers: converting the edits' texts is the front end's job.
struct ScanOptions {
    SectorNumber beginSector = 0;
    SectorNumber endSector = 0; // exclusive
    std::int64_t step = 8;
    bool freeSpaceOnly = false;
    bool limitBeginPage = false;
    std::int64_t maxBeginPage = 0;
    std::uint16_t targetFileNumber = 1;
};

// The parts of a session that one scan uses.
struct ScanResources {
    SectorAccess& access;
    DataSourceState& dataSource;
    // The file-system text that tab I shows for the source (label5); it selects the rule of the
    // free-space test.
    const std::string& fileSystemLabel;
    FreeSpaceMap& freeSpaceMap;
    // Two buffers of kTransferBufferBytes each: the window examined and the one read ahead.
    std::span<std::uint8_t> transferBuffer;
    std::span<std::uint8_t> readAheadBuffer;
    FragmentList& fragments;
    PageOrderIndex& pageOrderIndex;
    std::atomic<bool>& scanStopped;
};

enum class ScanEnd {
    kCompleted,          // the end sector was reached; the PageOrderIndex was rebuilt
    kStopped,            // scanStopped was found set
    kFreeSpaceMapFailed, // the free-space map could not be built; nothing was examined
    kFirstFillFailed,    // not one sector of the first window could be read
    kInvalidOptions,     // a step below 1 or a negative begin sector; nothing was done
};

ScanEnd RunScan(const ScanResources& resources, const ScanOptions& options, ScanObserver& observer);

// The step the scan advances by: steps of 32 and more are replaced by 16.
std::int64_t EffectiveStep(std::int64_t step);

// Positions below this are skipped after a run that ended at runEnd (0: no run yet).
SectorNumber SkipUntil(SectorNumber runEnd, std::int64_t step);

// Whether a run of pages from firstPage at startSector continues the fragment `previous` across
// a gap: it begins beyond the fragment's end, at most kMaxJoinGapSectors after it, exactly where
// its page numbers place it.
bool RunJoinsFragment(const FragmentNumbers& previous, SectorNumber startSector, std::int32_t firstPage);

} // namespace vorthal
