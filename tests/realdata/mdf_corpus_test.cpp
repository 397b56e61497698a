// The page routines on database files written by a real database server.
#include <gtest/gtest.h>

#include "base/page_geometry.h"
#include "scan/page_header.h"
#include "tests/realdata/shared_data.h"

namespace vorthal {
namespace {

class MdfCorpus : public ::testing::Test {
protected:
    void SetUp() override {
        auto rows = realdata::ReadMdfManifest();
        if (!rows) GTEST_SKIP() << "no real database files at " << realdata::MdfDir();
        manifest_ = std::move(*rows);
        ASSERT_FALSE(manifest_.empty());
    }
    std::vector<realdata::ManifestRow> manifest_;
};

bool IsZeroPage(const std::uint8_t* page) {
    for (std::size_t i = 0; i < kPageSize; ++i)
        if (page[i] != 0) return false;
    return true;
}

TEST_F(MdfCorpus, PageRecognitionMatchesTheManifest) {
    for (const auto& row : manifest_) {
        SCOPED_TRACE(row.at("name"));
        const auto file = realdata::ReadWholeFile(realdata::MdfDir() / row.at("name"));
        ASSERT_EQ(file.size() % kPageSize, 0u);
        ASSERT_EQ(static_cast<std::int64_t>(file.size() / kPageSize), row.number("pages"));
        EXPECT_TRUE(IsFileHeaderPage(PageHeader::At(file.data()), 1));
        EXPECT_TRUE(IsFirstPfsPage(PageHeader::At(file.data() + kPageSize), 1));

        std::int64_t foreign = 0;
        for (std::size_t offset = kPageSize; offset < file.size(); offset += kPageSize) {
            const std::uint8_t* page = file.data() + offset;
            if (!IsZeroPage(page) && !IsDataPage(PageHeader::At(page), 1)) ++foreign;
        }
        EXPECT_EQ(foreign, row.number("expect_isdatapage_fail_nonzero_pages_ge1"));
    }
}

} // namespace
} // namespace vorthal
