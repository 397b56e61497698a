// The generated database files read back through the page routines: the fixture must lay out
// pages exactly as the analysis expects to find them in real files.
#include <algorithm>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/page_interpretation.h"
#include "base/bytes.h"
#include "scan/page_header.h"
#include "tests/fixtures/database_builder.h"

namespace vorthal {
namespace {

using fixtures::DatabaseSpec;
using fixtures::ObjectSpec;
using fixtures::Page;
using fixtures::Protection;

constexpr std::int32_t kSmallObject = 245575913;
constexpr std::int32_t kIndexObject = 277576027;

// Two objects: one of five single pages, one index of three whole extents and three single
// pages; the logical name ends in ".mdf" like the path.
DatabaseSpec SampleSpec(Protection protection) {
    DatabaseSpec spec;
    spec.pages = 96;
    spec.protection = protection;
    spec.path = u"D:\\Проекты\\sample.mdf";
    spec.logicalName = u"sample.mdf";
    spec.objects = {
        ObjectSpec{.objectId = kSmallObject, .iamPage = 10, .firstPage = 11, .pageCount = 5},
        ObjectSpec{.objectId = kIndexObject, .iamPage = 20, .firstPage = 40, .pageCount = 27, .pageType = 2},
    };
    return spec;
}

Page Restored(std::span<const std::uint8_t, kPageSize> bytes) {
    Page page;
    std::copy(bytes.begin(), bytes.end(), page.begin());
    RestoreTornBits(page);
    return page;
}

bool IsZero(std::span<const std::uint8_t, kPageSize> page) {
    return std::all_of(page.begin(), page.end(), [](std::uint8_t b) { return b == 0; });
}

// A row's payload found the way the analysis finds it: slot offset, then the length at +2.
std::vector<std::uint8_t> RowPayload(const Page& page, int slot) {
    const auto offset = static_cast<std::size_t>(*SlotOffset(page, slot));
    const auto length = static_cast<std::size_t>(LoadLE16Signed(page.data() + offset + 2));
    return std::vector<std::uint8_t>(page.begin() + static_cast<std::ptrdiff_t>(offset + 4),
                                     page.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

// Every page an IAM page claims: its single-page slots and the extents of its bitmap.
std::set<std::int32_t> IamClaimedPages(const Page& page) {
    std::set<std::int32_t> claimed;
    const auto row0 = static_cast<std::size_t>(*SlotOffset(page, 0));
    const std::int32_t first = LoadLE32Signed(page.data() + row0 + 40);
    for (std::size_t s = 0; s < 8; ++s) {
        const std::int32_t single = LoadLE32Signed(page.data() + row0 + 46 + 6 * s);
        if (single > 0)
            claimed.insert(single);
    }
    const std::vector<std::uint8_t> bitmap = RowPayload(page, 1);
    for (std::size_t j = 0; j < bitmap.size(); ++j)
        for (int b = 0; b < 8; ++b)
            if (bitmap[j] & (1u << b))
                for (std::int32_t t = 0; t < 8; ++t)
                    claimed.insert(first + static_cast<std::int32_t>(64 * j) + 8 * b + t);
    return claimed;
}

std::set<std::int32_t> Range(std::int32_t first, std::int32_t count) {
    std::set<std::int32_t> pages;
    for (std::int32_t p = first; p < first + count; ++p)
        pages.insert(p);
    return pages;
}

class ProtectedFile : public ::testing::TestWithParam<Protection> {};

TEST_P(ProtectedFile, EveryPageVerifiesAndReadsBack) {
    const std::vector<std::uint8_t> file = fixtures::BuildDatabaseFile(SampleSpec(GetParam()));
    ASSERT_EQ(file.size(), 96 * kPageSize);
    for (std::size_t p = 0; p < 96; ++p) {
        const auto page = fixtures::PageOfFile(file, p);
        EXPECT_TRUE(VerifyPage(page)) << "page " << p;
        if (p >= 1 && !IsZero(page)) {
            EXPECT_TRUE(IsDataPage(PageHeader::At(page.data()), 1)) << "page " << p;
        }
    }
    EXPECT_TRUE(IsFileHeaderPage(PageHeader::At(file.data()), 1));
    EXPECT_TRUE(IsFirstPfsPage(PageHeader::At(file.data() + kPageSize), 1));
    EXPECT_EQ(ReadDatabaseFileSize(Restored(fixtures::PageOfFile(file, 0))), 96);
    EXPECT_EQ(ReadDatabaseFileName(Restored(fixtures::PageOfFile(file, 32))), "D:\\Проекты\\sample.mdf");
}

INSTANTIATE_TEST_SUITE_P(Protections, ProtectedFile,
                         ::testing::Values(Protection::kTornBits, Protection::kChecksum),
                         [](const ::testing::TestParamInfo<Protection>& param) {
                             return param.param == Protection::kTornBits ? std::string("TornBits")
                                                                         : std::string("Checksum");
                         });

TEST(GeneratedFile, UnprotectedPagesFailVerificationZeroPagesPass) {
    const std::vector<Page> pages = fixtures::BuildDatabasePages(SampleSpec(Protection::kNone));
    int passing = 0;
    for (const Page& page : pages)
        passing += VerifyPage(page) ? 1 : 0;
    // Written: pages 0, 1, 32, two IAM pages and 32 object pages.
    EXPECT_EQ(passing, 96 - 37);
}

TEST(GeneratedFile, PfsMarksExactlyThePagesWritten) {
    const std::vector<Page> pages = fixtures::BuildDatabasePages(SampleSpec(Protection::kTornBits));
    const std::vector<std::uint8_t> pfs = RowPayload(Restored(pages[1]), 0);
    ASSERT_EQ(pfs.size(), 8088u);
    std::set<std::int32_t> allocated = {0, 1, 32, 10, 20};
    for (std::int32_t p : Range(11, 5))
        allocated.insert(p);
    for (std::int32_t p : Range(40, 27))
        allocated.insert(p);
    for (std::int32_t p = 0; p < 8088; ++p) {
        const std::uint8_t expected = p == 10 || p == 20 ? 0x50 : allocated.contains(p) ? 0x40 : 0x00;
        ASSERT_EQ(pfs[static_cast<std::size_t>(p)], expected) << "page " << p;
        if (p < 96) {
            EXPECT_EQ(IsZero(pages[static_cast<std::size_t>(p)]), !allocated.contains(p)) << "page " << p;
        }
    }
}

TEST(GeneratedFile, IamPagesClaimTheirObjectsPages) {
    const std::vector<Page> pages = fixtures::BuildDatabasePages(SampleSpec(Protection::kChecksum));
    EXPECT_EQ(pages[10][1], 10);
    EXPECT_EQ(PageHeader::At(pages[10].data()).objectId(), kSmallObject);
    EXPECT_EQ(IamClaimedPages(pages[10]), Range(11, 5));
    EXPECT_EQ(PageHeader::At(pages[20].data()).objectId(), kIndexObject);
    EXPECT_EQ(IamClaimedPages(pages[20]), Range(40, 27));
    EXPECT_EQ(RowPayload(pages[20], 1)[0], 0xE0) << "extents 40, 48 and 56";
}

TEST(GeneratedFile, ObjectPagesLinkTheirNeighbours) {
    DatabaseSpec spec = SampleSpec(Protection::kChecksum);
    spec.objects[0].linked = false;
    const std::vector<Page> pages = fixtures::BuildDatabasePages(spec);
    for (std::int32_t p = 40; p <= 66; ++p) {
        const std::uint8_t* page = pages[static_cast<std::size_t>(p)].data();
        SCOPED_TRACE(p);
        EXPECT_EQ(page[1], 2);
        EXPECT_EQ(LoadLE32Signed(page + 24), kIndexObject);
        EXPECT_EQ(LoadLE32Signed(page + 32), p);
        EXPECT_EQ(LoadLE32Signed(page + 8), p == 40 ? 0 : p - 1);
        EXPECT_EQ(LoadLE16(page + 12), p == 40 ? 0 : 1);
        EXPECT_EQ(LoadLE32Signed(page + 16), p == 66 ? 0 : p + 1);
        EXPECT_EQ(LoadLE16(page + 20), p == 66 ? 0 : 1);
    }
    for (std::int32_t p = 11; p <= 15; ++p) {
        const std::uint8_t* page = pages[static_cast<std::size_t>(p)].data();
        EXPECT_EQ(LoadLE32(page + 8) | LoadLE32(page + 16), 0u) << "unlinked page " << p;
    }
}

TEST(GeneratedFile, HeaderSizeMayDifferFromTheFileLength) {
    DatabaseSpec spec = SampleSpec(Protection::kTornBits);
    spec.sizeInHeader = 1280;
    EXPECT_EQ(ReadDatabaseFileSize(Restored(fixtures::BuildDatabasePages(spec)[0])), 1280);
}

TEST(GeneratedFile, PfsPageEvery8088Pages) {
    DatabaseSpec spec;
    spec.pages = 8090;
    spec.protection = Protection::kNone;
    const std::vector<Page> pages = fixtures::BuildDatabasePages(spec);
    const PageHeader second = PageHeader::At(pages[8088].data());
    EXPECT_EQ(second.pageType(), 11);
    EXPECT_EQ(second.pageNumber(), 8088);
    const std::vector<std::uint8_t> pfs = RowPayload(pages[8088], 0);
    EXPECT_EQ(pfs[0], 0x40) << "its first byte describes the PFS page itself";
    EXPECT_EQ(pfs[1], 0x00);
    EXPECT_EQ(RowPayload(pages[1], 0)[32], 0x40);
}

struct BadSpec {
    std::string name;
    ObjectSpec object;
};

void PrintTo(const BadSpec& c, std::ostream* os) {
    *os << c.name;
}

class InconsistentSpec : public ::testing::TestWithParam<BadSpec> {};

TEST_P(InconsistentSpec, IsRefused) {
    DatabaseSpec spec = SampleSpec(Protection::kChecksum);
    spec.objects.push_back(GetParam().object);
    EXPECT_THROW(fixtures::BuildDatabasePages(spec), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, InconsistentSpec,
    ::testing::Values(
        BadSpec{"PastTheEnd", ObjectSpec{.objectId = 7, .iamPage = 70, .firstPage = 90, .pageCount = 7}},
        BadSpec{"OnThePfsPage", ObjectSpec{.objectId = 7, .iamPage = 70, .firstPage = 1, .pageCount = 1}},
        BadSpec{"OnPage32", ObjectSpec{.objectId = 7, .iamPage = 32, .firstPage = 71, .pageCount = 1}},
        BadSpec{"InsideAnotherObject",
                ObjectSpec{.objectId = 7, .iamPage = 45, .firstPage = 71, .pageCount = 1}},
        BadSpec{"NineSinglePages",
                ObjectSpec{.objectId = 7, .iamPage = 70, .firstPage = 73, .pageCount = 9}}),
    [](const ::testing::TestParamInfo<BadSpec>& param) { return param.param.name; });

} // namespace
} // namespace vorthal
