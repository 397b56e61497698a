// The read-ahead window of the scan: the range is read in windows of 12,288 sectors, and while
// the scan examines one window the next one is read on a helper thread into a second buffer.
// Only the 96 header bytes of a position are looked at, in place in the buffer.
//
// A window whose read fails is read again in pieces of 128 sectors, and a sector of a piece that
// still fails is read on its own when asked for: every readable sector is examined and no byte
// left in a buffer by an earlier window is ever taken for data.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <span>

#include "base/page_geometry.h"
#include "disk/data_source_state.h"
#include "disk/sector_access.h"
#include "scan/page_header.h"

namespace vorthal {

inline constexpr std::int64_t kScanWindowSectors = 12288;
inline constexpr std::int64_t kRereadPieceSectors = 128;
// A window is read in chunks of this many sectors, each screened while it is still in the cache.
inline constexpr std::int64_t kScreenChunkSectors = 1024;

// The candidate positions of a scan: begin + k x step, for pages of the target file.
struct CandidateGrid {
    SectorNumber begin = 0;
    std::int64_t step = 1;
    std::uint16_t targetFileNumber = 1;
};

class ScanWindow {
public:
    // Whether any position in [windowStart, windowEnd) is to be examined; windows that hold
    // none are not read.
    using WindowWanted = std::function<bool(SectorNumber windowStart, SectorNumber windowEnd)>;

    // front and back hold kScanWindowSectors sectors each; positions lie in [grid.begin, end).
    ScanWindow(SectorAccess& access, const DataSourceState& state, std::span<std::uint8_t> front,
               std::span<std::uint8_t> back, const CandidateGrid& grid, SectorNumber end, WindowWanted wanted);
    ~ScanWindow();
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    // Reads the window at the begin sector. False when not one of its sectors can be read.
    bool FirstFill();

    // The first bytes of sector (at least 96; begin <= sector < end), moving the window forward
    // when the sector lies beyond it; nullptr when the sector cannot be read. The pointer stays
    // valid until the next call of SectorThroughWindow or SectorDirect.
    const std::uint8_t* SectorThroughWindow(SectorNumber sector);
    // True when the candidate position was read and its header cannot start a page of the
    // target file (header version and file number), so it need not be looked at again. Moves
    // the window as SectorThroughWindow does.
    bool ScreenedOut(SectorNumber position) {
        if (position >= current_.start + current_.length && position < end_) MoveTo((position - begin_) / kScanWindowSectors);
        const std::int64_t offset = position - current_.start;
        return offset >= 0 && offset < current_.length && current_.screenedOut[static_cast<std::size_t>(offset)];
    }

    // As above without moving the window: sectors outside it are read on their own.
    const std::uint8_t* SectorDirect(SectorNumber sector);

    // Reads of the data source for others during the scan, kept apart from the read-ahead.
    bool ReadSource(std::int32_t count, std::uint8_t* destination, SectorNumber start);

private:
    static constexpr std::size_t kPieces = static_cast<std::size_t>(kScanWindowSectors / kRereadPieceSectors);

    struct Fill {
        SectorNumber start = 0;
        std::int64_t length = 0;    // sectors of the range that belong to the window
        std::int64_t delivered = 0; // sectors at its front that the source holds
        std::bitset<kPieces> readablePieces;
        std::bitset<static_cast<std::size_t>(kScanWindowSectors)> screenedOut;
        std::uint8_t* buffer = nullptr;
    };

    Fill ReadWindow(SectorNumber start, std::int64_t count, std::uint8_t* buffer);
    void ReadChunk(Fill& fill, std::int64_t first, std::int64_t sectors);
    void Screen(Fill& fill, std::int64_t first, std::int64_t sectors) const;
    void MoveTo(std::int64_t windowIndex);
    void StartReadAhead(std::int64_t afterIndex);
    void FinishReadAhead();
    const std::uint8_t* FromCurrent(SectorNumber sector);
    const std::uint8_t* ReadSingle(SectorNumber sector);
    SectorNumber WindowStart(std::int64_t index) const { return begin_ + index * kScanWindowSectors; }

    SectorAccess& access_;
    const DataSourceState& state_;
    std::mutex accessMutex_;
    std::uint8_t* spare_;
    SectorNumber begin_;
    std::int64_t step_;
    std::uint16_t targetFileNumber_;
    SectorNumber end_;
    WindowWanted wanted_;
    Fill current_;
    std::int64_t currentIndex_ = 0;
    std::future<Fill> readAhead_;
    std::int64_t readAheadIndex_ = -1;
    alignas(8) std::uint8_t single_[kSectorSize] = {};
};

} // namespace vorthal
