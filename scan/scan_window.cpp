#include "scan/scan_window.h"

#include <algorithm>

#include "scan/source_reads.h"

namespace vorthal {

ScanWindow::ScanWindow(SectorAccess& access, const DataSourceState& state, std::span<std::uint8_t> front,
                       std::span<std::uint8_t> back, const CandidateGrid& grid, SectorNumber end, WindowWanted wanted)
    : access_(access),
      state_(state),
      spare_(back.data()),
      begin_(grid.begin),
      step_(grid.step),
      targetFileNumber_(grid.targetFileNumber),
      end_(end),
      wanted_(std::move(wanted)) {
    current_.buffer = front.data();
}

ScanWindow::~ScanWindow() { FinishReadAhead(); }

bool ScanWindow::ReadSource(std::int32_t count, std::uint8_t* destination, SectorNumber start) {
    const std::lock_guard lock(accessMutex_);
    return ReadWholeSectors(access_, state_, count, destination, start);
}

ScanWindow::Fill ScanWindow::ReadWindow(SectorNumber start, std::int64_t count, std::uint8_t* buffer) {
    Fill fill;
    fill.start = start;
    fill.length = count;
    fill.buffer = buffer;
    fill.delivered = std::max<std::int64_t>(0, ClampedSectorCount(state_, start, count));
    for (std::int64_t first = 0; first < fill.delivered; first += kScreenChunkSectors) {
        const std::int64_t sectors = std::min(kScreenChunkSectors, fill.delivered - first);
        ReadChunk(fill, first, sectors);
        Screen(fill, first, sectors);
    }
    return fill;
}

void ScanWindow::ReadChunk(Fill& fill, std::int64_t first, std::int64_t sectors) {
    const auto firstPiece = static_cast<std::size_t>(first / kRereadPieceSectors);
    const auto pieces = static_cast<std::size_t>((sectors + kRereadPieceSectors - 1) / kRereadPieceSectors);
    std::uint8_t* at = fill.buffer + static_cast<std::size_t>(first) * kSectorSize;
    if (ReadSource(static_cast<std::int32_t>(sectors), at, fill.start + first)) {
        for (std::size_t piece = firstPiece; piece < firstPiece + pieces; ++piece) fill.readablePieces.set(piece);
        return;
    }
    // Piece by piece, so that one bad sector costs no more than its piece.
    for (std::size_t piece = firstPiece; piece < firstPiece + pieces; ++piece) {
        const std::int64_t pieceFirst = static_cast<std::int64_t>(piece) * kRereadPieceSectors;
        const std::int64_t pieceSectors = std::min(kRereadPieceSectors, first + sectors - pieceFirst);
        fill.readablePieces[piece] =
            ReadSource(static_cast<std::int32_t>(pieceSectors), fill.buffer + static_cast<std::size_t>(pieceFirst) * kSectorSize,
                       fill.start + pieceFirst);
    }
}

void ScanWindow::Screen(Fill& fill, std::int64_t first, std::int64_t sectors) const {
    // The first candidate position at or after sector `first` of the window.
    const std::int64_t fromBegin = fill.start + first - begin_;
    std::int64_t offset = first + (step_ - fromBegin % step_) % step_;
    for (; offset < first + sectors; offset += step_) {
        if (!fill.readablePieces[static_cast<std::size_t>(offset / kRereadPieceSectors)]) continue;
        // Every recognition test asks for header version 1 and the target file number.
        const PageHeader header = PageHeader::At(fill.buffer + static_cast<std::size_t>(offset) * kSectorSize);
        if (header.headerVersion() != 1 || header.fileNumber() != targetFileNumber_)
            fill.screenedOut.set(static_cast<std::size_t>(offset));
    }
}

bool ScanWindow::FirstFill() {
    // The first request asks for a whole window whatever the end sector, as every later one
    // is shortened to the range.
    current_ = ReadWindow(begin_, kScanWindowSectors, current_.buffer);
    current_.length = std::min(kScanWindowSectors, std::max<std::int64_t>(0, end_ - begin_));
    currentIndex_ = 0;
    if (current_.readablePieces.none()) return false;
    StartReadAhead(0);
    return true;
}

void ScanWindow::StartReadAhead(std::int64_t afterIndex) {
    for (std::int64_t index = afterIndex + 1;; ++index) {
        const SectorNumber start = WindowStart(index);
        if (start >= end_) return;
        const SectorNumber windowEnd = std::min(end_, start + kScanWindowSectors);
        if (!wanted_(start, windowEnd)) continue;
        readAheadIndex_ = index;
        std::uint8_t* buffer = spare_;
        readAhead_ = std::async(std::launch::async,
                                [this, start, windowEnd, buffer] { return ReadWindow(start, windowEnd - start, buffer); });
        return;
    }
}

void ScanWindow::FinishReadAhead() {
    if (readAhead_.valid()) readAhead_.wait();
}

void ScanWindow::MoveTo(std::int64_t windowIndex) {
    Fill next;
    if (readAhead_.valid() && readAheadIndex_ == windowIndex) {
        next = readAhead_.get();
    } else {
        FinishReadAhead();
        readAhead_ = {};
        const SectorNumber start = WindowStart(windowIndex);
        next = ReadWindow(start, std::min(end_, start + kScanWindowSectors) - start, spare_);
    }
    spare_ = current_.buffer;
    current_ = next;
    currentIndex_ = windowIndex;
    StartReadAhead(windowIndex);
}

const std::uint8_t* ScanWindow::ReadSingle(SectorNumber sector) {
    return ReadSource(1, single_, sector) ? single_ : nullptr;
}

const std::uint8_t* ScanWindow::FromCurrent(SectorNumber sector) {
    const std::int64_t offset = sector - current_.start;
    if (offset >= current_.delivered) return nullptr;
    if (!current_.readablePieces[static_cast<std::size_t>(offset / kRereadPieceSectors)]) return ReadSingle(sector);
    return current_.buffer + static_cast<std::size_t>(offset) * kSectorSize;
}

const std::uint8_t* ScanWindow::SectorThroughWindow(SectorNumber sector) {
    if (sector >= current_.start + current_.length && sector < end_) MoveTo((sector - begin_) / kScanWindowSectors);
    return SectorDirect(sector);
}

const std::uint8_t* ScanWindow::SectorDirect(SectorNumber sector) {
    if (sector >= current_.start && sector < current_.start + current_.length) return FromCurrent(sector);
    return ReadSingle(sector);
}

} // namespace vorthal
