// Page-by-page reads of a fragment (the analysis reads every page of every fragment it takes,
// one at a time) served from a window read ahead, so that a large file costs a few large reads
// instead of one system call per page. The same bytes and the same failures: a window that
// cannot be read whole is never used, and the request is then read exactly as asked. Only over
// a reader whose large reads give the same bytes as page reads: the data source, not a fragment
// content file (which unscrambles page reads only).
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue/fragment_reader.h"

namespace vorthal {

class ReadAheadReader final : public FragmentSectorReader {
public:
    // Windows of 2,048 sectors (1 MiB).
    static constexpr std::int64_t kWindowSectors = 2048;

    explicit ReadAheadReader(FragmentSectorReader& source) : source_(source) {}

    bool ReadFragmentSectors(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count,
                             std::uint8_t* destination) override;

private:
    bool InWindow(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count) const;

    FragmentSectorReader& source_;
    std::vector<std::uint8_t> window_;
    bool windowValid_ = false;
    SectorNumber windowFragment_ = 0;
    std::int64_t windowOffset_ = 0;
    // The fragment whose window read failed last: its reads go straight to the source.
    bool directFragmentKnown_ = false;
    SectorNumber directFragment_ = 0;
};

} // namespace vorthal
