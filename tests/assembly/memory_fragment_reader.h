// A data source in memory for the assembly and extraction tests: sectors placed where a test
// wants them, fragment reads served from it, chosen sectors failing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "base/page_geometry.h"
#include "catalogue/fragment_reader.h"

namespace vorthal::fixtures {

class MemoryFragmentReader : public FragmentSectorReader {
public:
    explicit MemoryFragmentReader(SectorNumber sectors) : bytes_(static_cast<std::size_t>(sectors) * kSectorSize, 0xEE) {}

    // Writes `data` (whole sectors) at `sector`.
    void Put(SectorNumber sector, std::span<const std::uint8_t> data) {
        std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(sector) * static_cast<std::ptrdiff_t>(kSectorSize));
    }
    void FailSector(SectorNumber sector) { failing_.insert(sector); }
    void FailEverything() { failAll_ = true; }

    bool ReadFragmentSectors(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count,
                             std::uint8_t* destination) override {
        ++reads;
        const SectorNumber first = fragmentStart + offset;
        const SectorNumber end = first + count;
        if (failAll_ || first < 0 || end > static_cast<SectorNumber>(bytes_.size() / kSectorSize)) return false;
        const auto failed = failing_.lower_bound(first);
        if (failed != failing_.end() && *failed < end) return false;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(first) * static_cast<std::ptrdiff_t>(kSectorSize),
                    static_cast<std::size_t>(count) * kSectorSize, destination);
        return true;
    }

    int reads = 0;

private:
    std::vector<std::uint8_t> bytes_;
    std::set<SectorNumber> failing_;
    bool failAll_ = false;
};

} // namespace vorthal::fixtures
