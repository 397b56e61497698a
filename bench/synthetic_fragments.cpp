#include "bench/synthetic_fragments.h"

#include <random>

#include "scan/fragment_line.h"

namespace vorthal::bench {

std::vector<std::string> SyntheticFragmentLines(std::int64_t count) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::int32_t> beginPages(1, 2000000);
    std::uniform_int_distribution<std::int32_t> pageCounts(1, 64);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    SectorNumber sector = 2048;
    for (std::int64_t i = 0; i < count; ++i) {
        Fragment fragment;
        const std::int32_t pages = pageCounts(random);
        fragment.number = static_cast<std::int32_t>(i + 1);
        fragment.startSector = sector;
        fragment.endSector = sector + kSectorsPerPage * pages;
        fragment.sizeKb = 8 * pages;
        fragment.beginPage = i % 50 == 0 ? 0 : beginPages(random);
        fragment.endPage = fragment.beginPage + pages;
        if (fragment.beginPage == 0) fragment.memo = "Sales_" + std::to_string(i) + ".mdf 15.63 MB";
        lines.push_back(BuildFragmentLine(fragment));
        sector = fragment.endSector + 64;
    }
    return lines;
}

} // namespace vorthal::bench
