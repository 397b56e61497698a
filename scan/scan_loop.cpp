#include "scan/scan_loop.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "base/log_lines.h"
#include "scan/gauge_percent.h"
#include "scan/page_header.h"
#include "scan/record_fragment.h"
#include "scan/scan_window.h"

namespace vorthal {
namespace {

using HeaderCopy = std::array<std::uint8_t, kPageHeaderSize>;

// One run of RunScan: the options, the window and the state of the position loop.
class ScanRun {
public:
    ScanRun(const ScanResources& resources, const ScanOptions& options, ScanObserver& observer, std::int64_t step)
        : resources_(resources),
          options_(options),
          observer_(observer),
          step_(step),
          window_(resources.access, resources.dataSource, resources.transferBuffer, resources.readAheadBuffer,
                  {options.beginSector, step, options.targetFileNumber}, options.endSector,
                  [this](SectorNumber start, SectorNumber end) { return HoldsExaminedPosition(start, end); }),
          recorder_{resources.fragments, observer, nullptr, options.limitBeginPage, options.maxBeginPage, {}} {
        recorder_.readSource = [this](std::int32_t count, std::uint8_t* destination, SectorNumber start) {
            return window_.ReadSource(count, destination, start);
        };
    }

    ScanEnd Run();

private:
    bool InUseCluster(SectorNumber position) const {
        const DataSourceState& source = resources_.dataSource;
        return options_.freeSpaceOnly &&
               resources_.freeSpaceMap.IsClusterAllocated(position, resources_.fileSystemLabel,
                                                          source.fileSystemClusterSectors, source.dataStartSector);
    }
    bool HoldsExaminedPosition(SectorNumber start, SectorNumber end) const;
    void FollowFileStart(SectorNumber position);
    void FollowRun(SectorNumber position, std::int32_t firstPage);
    void JoinOrRecord(SectorNumber start, std::int32_t firstPage, std::int32_t pages);
    void LogFailure(const char* tag, SectorNumber sector) {
        observer_.AppendLog(LogPane::Scan, FailureLine(tag, sector));
    }

    const ScanResources& resources_;
    const ScanOptions& options_;
    ScanObserver& observer_;
    const std::int64_t step_;
    ScanWindow window_;
    FragmentRecorder recorder_;
    SectorNumber runEnd_ = 0;
    std::int32_t fragmentNumber_ = 0;
};

bool ScanRun::HoldsExaminedPosition(SectorNumber start, SectorNumber end) const {
    if (!options_.freeSpaceOnly) return true;
    const SectorNumber begin = options_.beginSector;
    for (SectorNumber position = begin + (start - begin + step_ - 1) / step_ * step_; position < end;
         position += step_)
        if (!InUseCluster(position)) return true;
    return false;
}

ScanEnd ScanRun::Run() {
    if (!window_.FirstFill()) {
        LogFailure(kPositionReadFailedTag, options_.beginSector);
        return ScanEnd::kFirstFillFailed;
    }
    const std::uint16_t target = options_.targetFileNumber;
    SectorNumber nextGaugeChange = options_.beginSector;
    for (SectorNumber position = options_.beginSector; position < options_.endSector; position += step_) {
        if (position >= nextGaugeChange) {
            const int percent = RoundedPercent(position, options_.endSector);
            observer_.SetGauge(percent);
            nextGaugeChange = NextPercentPart(percent, options_.endSector);
        }
        if (resources_.scanStopped.load(std::memory_order_relaxed)) {
            observer_.SetStatus(kScanStoppedStatus);
            return ScanEnd::kStopped;
        }
        if (InUseCluster(position) || position < SkipUntil(runEnd_, step_) || window_.ScreenedOut(position)) continue;
        const std::uint8_t* sector = window_.SectorThroughWindow(position);
        if (sector == nullptr) {
            LogFailure(kPositionReadFailedTag, position);
            continue;
        }
        const PageHeader header = PageHeader::At(sector);
        if (IsFileHeaderPage(header, target))
            FollowFileStart(position);
        else if (IsDataPage(header, target))
            FollowRun(position, header.pageNumber());
    }
    return ScanEnd::kCompleted;
}

void ScanRun::FollowFileStart(SectorNumber position) {
    const std::uint16_t target = options_.targetFileNumber;
    const std::uint8_t* second = window_.SectorDirect(position + kSectorsPerPage);
    if (second == nullptr) {
        LogFailure(kPositionReadFailedTag, position + kSectorsPerPage);
        return;
    }
    if (!IsFirstPfsPage(PageHeader::At(second), target)) return;
    // A failed read leaves the last header and the expected number in place, so the page
    // behind an unreadable one is still compared with the page before it.
    HeaderCopy header;
    std::memcpy(header.data(), second, kPageHeaderSize);
    std::int32_t pages = 0;
    std::int32_t expected = 0;
    runEnd_ = position;
    do {
        ++pages;
        runEnd_ += kSectorsPerPage;
        if (runEnd_ >= options_.endSector) break;
        const std::uint8_t* next = window_.SectorThroughWindow(runEnd_);
        if (next == nullptr) {
            LogFailure(kFileStartPageReadFailedTag, runEnd_);
        } else {
            std::memcpy(header.data(), next, kPageHeaderSize);
            ++expected;
        }
    } while (IsNextPage(target, expected, PageHeader(header)));
    recorder_.pendingMemo = kInvalidFileHeaderMemo;
    ++fragmentNumber_;
    RecordFragment(recorder_, fragmentNumber_, pages, 0, position);
}

void ScanRun::FollowRun(SectorNumber position, std::int32_t firstPage) {
    const std::uint16_t target = options_.targetFileNumber;
    std::int64_t expected = firstPage;
    std::int32_t pages = 0;
    runEnd_ = position;
    for (;;) {
        runEnd_ += kSectorsPerPage;
        ++expected;
        ++pages;
        if (runEnd_ >= options_.endSector) break;
        const std::uint8_t* next = window_.SectorThroughWindow(runEnd_);
        if (next == nullptr) {
            LogFailure(kRunPageReadFailedTag, runEnd_);
            break;
        }
        // No page carries a number beyond the 32-bit range.
        if (expected > std::numeric_limits<std::int32_t>::max() ||
            !IsNextPage(target, static_cast<std::int32_t>(expected), PageHeader::At(next)))
            break;
    }
    JoinOrRecord(position, firstPage, pages);
}

void ScanRun::JoinOrRecord(SectorNumber start, std::int32_t firstPage, std::int32_t pages) {
    FragmentList& fragments = resources_.fragments;
    if (fragmentNumber_ > 0 && !fragments.Empty()) {
        const std::size_t last = fragments.Count() - 1;
        const FragmentNumbers* previous = fragments.Numbers(last);
        if (previous != nullptr && RunJoinsFragment(*previous, start, firstPage)) {
            const FragmentNumbers joined = *previous;
            if (joined.beginPage == 0) recorder_.pendingMemo = std::string(fragments.Field(last, kFieldMemo));
            const std::int64_t joinedPages = pages + (std::int64_t{firstPage} - joined.beginPage);
            ReplaceLastFragment(recorder_, fragmentNumber_, static_cast<std::int32_t>(joinedPages), joined.beginPage,
                                joined.startSector);
            return;
        }
    }
    ++fragmentNumber_;
    RecordFragment(recorder_, fragmentNumber_, pages, firstPage, start);
}

} // namespace

std::int64_t EffectiveStep(std::int64_t step) { return step > kLargestStep ? kSectorsPerPage : step; }

SectorNumber SkipUntil(SectorNumber runEnd, std::int64_t step) {
    if (runEnd > 0 && step < kSectorsPerPage) return runEnd - kSectorsPerPage + step;
    return runEnd;
}

bool RunJoinsFragment(const FragmentNumbers& previous, SectorNumber startSector, std::int32_t firstPage) {
    const std::int64_t gap = startSector - previous.endSector;
    return gap > 0 && gap <= kMaxJoinGapSectors &&
           (std::int64_t{firstPage} - previous.beginPage) * kSectorsPerPage == startSector - previous.startSector;
}

ScanEnd RunScan(const ScanResources& resources, const ScanOptions& options, ScanObserver& observer) {
    if (options.step < 1 || options.beginSector < 0) return ScanEnd::kInvalidOptions;
    observer.ClearLog(LogPane::Scan);
    DataSourceState& source = resources.dataSource;
    if (source.hasFileSystem && options.freeSpaceOnly) {
        observer.AppendLog(LogPane::Scan, ProgressLine(kBuildingFreeSpaceMapPhrase));
        const FreeSpaceSources sources{resources.access, source, observer};
        if (!BuildFreeSpaceMap(resources.freeSpaceMap, sources, resources.transferBuffer)) {
            observer.ShowMessage(kDefaultMessageTitle, kFreeSpaceMapFailedMessage);
            return ScanEnd::kFreeSpaceMapFailed;
        }
    }
    observer.AppendLog(LogPane::Scan, ProgressLine(kScanStartedPhrase));
    observer.SetStatus(kScanStartedPhrase);
    // The step typed for the scan is the cluster size the later steps work with.
    source.sectorsPerCluster = static_cast<std::int16_t>(static_cast<std::uint16_t>(options.step & 0xFFFF));

    const ScanEnd end = ScanRun(resources, options, observer, EffectiveStep(options.step)).Run();
    if (end != ScanEnd::kCompleted) return end;
    observer.AppendLog(LogPane::Scan, ProgressLine(kScanCompletedPhrase));
    observer.SetStatus(kScanCompletedPhrase);
    resources.scanStopped.store(true);
    PageOrderIndexError error;
    if (!BuildPageOrderIndex(resources.fragments, resources.pageOrderIndex, &error))
        observer.AppendLog(LogPane::Scan, "page order index not built: line " + std::to_string(error.lineIndex + 1) +
                                              ": " + error.detail);
    return ScanEnd::kCompleted;
}

} // namespace vorthal
