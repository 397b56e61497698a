// The page routines on database files written by a real database server.
#include <gtest/gtest.h>

#include "analysis/page_interpretation.h"
#include "base/page_geometry.h"
#include "scan/page_header.h"
#include "tests/realdata/shared_data.h"

namespace vorthal {
namespace {

class MdfCorpus : public ::testing::Test {
  protected:
    void SetUp() override {
        auto rows = realdata::ReadMdfManifest();
        if (!rows)
            GTEST_SKIP() << "no real database files at " << realdata::MdfDir();
        manifest_ = std::move(*rows);
        ASSERT_FALSE(manifest_.empty());
    }
    std::vector<realdata::ManifestRow> manifest_;
};

bool IsZeroPage(const std::uint8_t* page) {
    for (std::size_t i = 0; i < kPageSize; ++i)
        if (page[i] != 0)
            return false;
    return true;
}

PageBytes PageOf(const std::vector<std::uint8_t>& file, std::size_t index) {
    return PageBytes(file.data() + index * kPageSize, kPageSize);
}

// A copy of a page with its torn bits restored, as the analysis reads it.
std::vector<std::uint8_t> RestoredPage(const std::vector<std::uint8_t>& file, std::size_t index) {
    const PageBytes page = PageOf(file, index);
    std::vector<std::uint8_t> copy(page.begin(), page.end());
    RestoreTornBits(MutablePageBytes(copy.data(), kPageSize));
    return copy;
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
            if (!IsZeroPage(page) && !IsDataPage(PageHeader::At(page), 1))
                ++foreign;
        }
        EXPECT_EQ(foreign, row.number("expect_isdatapage_fail_nonzero_pages_ge1"));
    }
}

TEST_F(MdfCorpus, PageVerificationMatchesTheManifest) {
    for (const auto& row : manifest_) {
        SCOPED_TRACE(row.at("name"));
        const auto file = realdata::ReadWholeFile(realdata::MdfDir() / row.at("name"));
        ASSERT_EQ(file.size() % kPageSize, 0u);
        std::int64_t passing = 0;
        for (std::size_t index = 0; index < file.size() / kPageSize; ++index)
            passing += VerifyPage(PageOf(file, index)) ? 1 : 0;
        EXPECT_EQ(passing, row.number("expect_verifypage_pass_all_pages"));
    }
}

TEST_F(MdfCorpus, SizeAndNameReadAfterRestoringTornBits) {
    for (const auto& row : manifest_) {
        SCOPED_TRACE(row.at("name"));
        const auto file = realdata::ReadWholeFile(realdata::MdfDir() / row.at("name"));
        ASSERT_GT(file.size(), 33 * kPageSize);

        const std::vector<std::uint8_t> page0 = RestoredPage(file, 0);
        EXPECT_EQ(ReadDatabaseFileSize(PageBytes(page0.data(), kPageSize)), row.number("expect_size_read"));
        // Read as stored, torn marks can move the row 0 offset past the size row or onto a
        // stale copy of it; the manifest gives 0 where nothing is found.
        EXPECT_EQ(ReadDatabaseFileSize(PageOf(file, 0)).value_or(0),
                  row.number("size_in_header_raw(no_untear)"));

        const std::vector<std::uint8_t> page32 = RestoredPage(file, 32);
        EXPECT_EQ(ReadDatabaseFileName(PageBytes(page32.data(), kPageSize)), row.at("expect_name_read"));
    }
}

} // namespace
} // namespace vorthal
