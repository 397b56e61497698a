// The split-page trial: a page whose tail clusters were cut off at a fragment boundary gets
// them back from the sectors in front of the next fragment, one cluster at a time.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

#include "analysis/page_interpretation.h"
#include "assembly/split_page_repair.h"
#include "tests/fixtures/database_builder.h"

namespace vorthal {
namespace {

using fixtures::Page;
using Prefix = std::array<std::uint8_t, kFragmentPrefixBytes>;

Page ProtectedDataPage(fixtures::Protection protection) {
    Page page = fixtures::MakeDataPage({.pageNumber = 40, .objectId = 1234});
    fixtures::ProtectPage(page, protection);
    return page;
}

// The page with its last `cutClusters` clusters replaced by foreign bytes, and a prefix whose
// end holds the true tail.
struct SplitPage {
    Page damaged;
    Prefix prefix;
};

SplitPage Split(const Page& intact, int sectorsPerCluster, int cutClusters) {
    const std::size_t cut = static_cast<std::size_t>(cutClusters * sectorsPerCluster) * kSectorSize;
    SplitPage split{intact, {}};
    std::fill(split.prefix.begin(), split.prefix.end(), std::uint8_t{0xA5});
    std::fill(split.damaged.end() - static_cast<std::ptrdiff_t>(cut), split.damaged.end(), std::uint8_t{0x5A});
    std::copy(intact.end() - static_cast<std::ptrdiff_t>(cut), intact.end(), split.prefix.end() - static_cast<std::ptrdiff_t>(cut));
    return split;
}

TEST(SplitPageTries, SixteenDividedByTheClusterRoundedAndNoneWithoutAClusterSize) {
    const struct {
        int sectorsPerCluster;
        int tries;
    } cases[] = {{1, 16}, {2, 8}, {3, 5}, {4, 4}, {7, 2}, {8, 2}, {11, 1}, {16, 1}, {64, 0}, {0, 0}, {-8, 0}};
    for (const auto& c : cases) EXPECT_EQ(SplitPageTries(c.sectorsPerCluster), c.tries) << c.sectorsPerCluster;
}

TEST(RepairSplitPage, TakesTheFirstVersionThatVerifies) {
    const struct {
        fixtures::Protection protection;
        int sectorsPerCluster;
        int cutClusters;
    } cases[] = {
        {fixtures::Protection::kChecksum, 8, 1}, {fixtures::Protection::kChecksum, 1, 15},
        {fixtures::Protection::kChecksum, 1, 3}, {fixtures::Protection::kChecksum, 4, 2},
        {fixtures::Protection::kChecksum, 8, 0}, {fixtures::Protection::kTornBits, 2, 5},
    };
    for (const auto& c : cases) {
        const Page intact = ProtectedDataPage(c.protection);
        SplitPage split = Split(intact, c.sectorsPerCluster, c.cutClusters);
        EXPECT_EQ(RepairSplitPage(split.damaged, split.prefix, c.sectorsPerCluster), std::optional<int>(c.cutClusters))
            << c.sectorsPerCluster << " " << c.cutClusters;
        EXPECT_EQ(split.damaged, intact);
    }
}

TEST(RepairSplitPage, LeavesThePageAsReadWhenNoVersionVerifiesOrThereIsNoClusterSize) {
    const Page intact = ProtectedDataPage(fixtures::Protection::kChecksum);
    SplitPage split = Split(intact, 8, 1);
    Prefix foreign;
    foreign.fill(0x11);
    const Page asRead = split.damaged;
    EXPECT_EQ(RepairSplitPage(split.damaged, foreign, 8), std::nullopt);
    EXPECT_EQ(split.damaged, asRead);
    for (int noCluster : {0, -1}) {
        EXPECT_EQ(RepairSplitPage(split.damaged, split.prefix, noCluster), std::nullopt);
        EXPECT_EQ(split.damaged, asRead);
    }
    // Clusters of a page or more never split a page: only the page as read is tried.
    EXPECT_EQ(RepairSplitPage(split.damaged, split.prefix, 16), std::nullopt);
    EXPECT_EQ(split.damaged, asRead);
}

} // namespace
} // namespace vorthal
