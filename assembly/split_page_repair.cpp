#include "assembly/split_page_repair.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vorthal {

int SplitPageTries(std::int64_t sectorsPerCluster) {
    if (sectorsPerCluster <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(kSectorsPerPage) / static_cast<double>(sectorsPerCluster)));
}

std::optional<int> RepairSplitPage(MutablePageBytes page, FragmentPrefixBytes prefix, std::int64_t sectorsPerCluster) {
    const int tries = SplitPageTries(sectorsPerCluster);
    if (tries == 0) return std::nullopt;
    const std::size_t clusterBytes = static_cast<std::size_t>(sectorsPerCluster) * kSectorSize;

    std::array<std::uint8_t, kPageSize> asRead;
    std::copy(page.begin(), page.end(), asRead.begin());
    for (int d = 0; d < tries; ++d) {
        // Never more than the prefix holds, whatever the cluster size.
        const std::size_t replaced = std::min(static_cast<std::size_t>(d) * clusterBytes, prefix.size());
        std::copy(asRead.begin(), asRead.end() - static_cast<std::ptrdiff_t>(replaced), page.begin());
        std::copy(prefix.end() - static_cast<std::ptrdiff_t>(replaced), prefix.end(),
                  page.end() - static_cast<std::ptrdiff_t>(replaced));
        if (VerifyPage(page)) return d;
    }
    std::copy(asRead.begin(), asRead.end(), page.begin());
    return std::nullopt;
}

} // namespace vorthal
