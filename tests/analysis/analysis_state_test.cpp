// The analysis results belong to one FragmentList: opening another scan info file forgets them,
// so no chain or page map of the old list is ever taken for the new one.
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "tests/fixtures/memory_sector_device.h"
#include "workflow/session.h"

namespace vorthal {
namespace {

TEST(AnalysisState, OpeningAScanInfoFileForgetsTheChainAndThePageMap) {
    Session session(std::make_unique<fixtures::MemoryDeviceOpener>());
    session.fragments.Append("1|0|16|8|0|1| |Y|");
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "analysis_state_test.scaninfo";
    ASSERT_FALSE(session.SaveScanInfo(path));

    AnalysisState& analysis = session.analysis;
    analysis.file.sizePages = 10;
    analysis.states.Chain(0);
    analysis.combination.rows.push_back(CombinationRow{.caption = 1, .memo = "old"});
    ASSERT_TRUE(analysis.pageMap.Reset(10));

    ASSERT_FALSE(session.OpenScanInfo(path));
    std::filesystem::remove(path);
    EXPECT_EQ(analysis.file.sizePages, 0);
    EXPECT_FALSE(analysis.states.IsChained(0));
    EXPECT_TRUE(analysis.combination.rows.empty());
    EXPECT_EQ(analysis.pageMap.Size(), 0);
}

} // namespace
} // namespace vorthal
