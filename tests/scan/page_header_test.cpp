#include "scan/page_header.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "tests/fixtures/page_builder.h"

namespace vorthal {
namespace {

using fixtures::HeaderFields;
using fixtures::MakePage;
using fixtures::Page;

constexpr std::uint16_t kTarget = 1;

struct Expectation {
    std::string name;
    std::function<void(HeaderFields&)> edit;
    bool isData;
};

void PrintTo(const Expectation& expectation, std::ostream* os) { *os << expectation.name; }

class IsDataPageCases : public ::testing::TestWithParam<Expectation> {};

TEST_P(IsDataPageCases, DecidesOnTheHeaderAlone) {
    HeaderFields fields;
    GetParam().edit(fields);
    const Page page = MakePage(fields);
    EXPECT_EQ(IsDataPage(PageHeader::At(page.data()), kTarget), GetParam().isData);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, IsDataPageCases,
    ::testing::Values(
        Expectation{"Plain", [](HeaderFields&) {}, true},
        Expectation{"FreeDataOffset95", [](HeaderFields& f) { f.freeDataOffset = 95; }, false},
        Expectation{"FreeDataOffset96", [](HeaderFields& f) { f.freeDataOffset = 96; }, true},
        Expectation{"FreeDataOffset8192", [](HeaderFields& f) { f.freeDataOffset = 8192; }, true},
        Expectation{"FreeDataOffset8193", [](HeaderFields& f) { f.freeDataOffset = 8193; }, false},
        Expectation{"FreeCount8096", [](HeaderFields& f) { f.freeCount = 8096; }, true},
        Expectation{"FreeCount8097", [](HeaderFields& f) { f.freeCount = 8097; }, false},
        Expectation{"ReservedCount8192", [](HeaderFields& f) { f.reservedCount = 8192; }, true},
        Expectation{"ReservedCount8193", [](HeaderFields& f) { f.reservedCount = 8193; }, false},
        Expectation{"GhostRecords8097", [](HeaderFields& f) { f.ghostRecordCount = 8097; }, false},
        Expectation{"SlotCount8097", [](HeaderFields& f) { f.slotCount = 8097; }, false},
        Expectation{"HeaderVersion2", [](HeaderFields& f) { f.headerVersion = 2; }, false},
        Expectation{"IndexPageLevel3", [](HeaderFields& f) { f.pageType = 2; f.level = 3; }, true},
        Expectation{"DataPageLevel1", [](HeaderFields& f) { f.pageType = 1; f.level = 1; }, false},
        Expectation{"PageType0", [](HeaderFields& f) { f.pageType = 0; }, false},
        Expectation{"PageType19", [](HeaderFields& f) { f.pageType = 19; }, true},
        Expectation{"PageType20", [](HeaderFields& f) { f.pageType = 20; }, false},
        Expectation{"TypeFlags4", [](HeaderFields& f) { f.typeFlags = 4; }, true},
        Expectation{"TypeFlags2", [](HeaderFields& f) { f.typeFlags = 2; }, false},
        Expectation{"PageNumber0", [](HeaderFields& f) { f.pageNumber = 0; }, false},
        Expectation{"PageNumberTopBit", [](HeaderFields& f) { f.pageNumber = INT32_MIN; }, false},
        Expectation{"OtherFile", [](HeaderFields& f) { f.fileNumber = 3; }, false},
        Expectation{"FirstPfsPage", [](HeaderFields& f) { f = fixtures::FirstPfsPageFields(); }, true},
        Expectation{"FileHeaderPage", [](HeaderFields& f) { f = fixtures::FileHeaderPageFields(); }, false}),
    [](const ::testing::TestParamInfo<Expectation>& param) { return param.param.name; });

TEST(IsDataPage, FailsOnAnyNonZeroReservedByte) {
    for (std::size_t offset = 64; offset < 96; ++offset) {
        Page page = MakePage(HeaderFields{});
        page[offset] = 0x01;
        EXPECT_FALSE(IsDataPage(PageHeader::At(page.data()), kTarget)) << "offset " << offset;
    }
}

TEST(IsDataPage, IgnoresEverythingPastTheHeader) {
    Page page = MakePage(HeaderFields{});
    for (std::size_t i = 96; i < page.size(); ++i) page[i] = 0xA5;
    EXPECT_TRUE(IsDataPage(PageHeader::At(page.data()), kTarget));
}

TEST(IsDataPage, FollowsTheTargetFileNumber) {
    HeaderFields fields;
    fields.fileNumber = 3;
    const Page page = MakePage(fields);
    EXPECT_TRUE(IsDataPage(PageHeader::At(page.data()), 3));
    EXPECT_FALSE(IsDataPage(PageHeader::At(page.data()), 1));
}

TEST(IsFileHeaderPage, AcceptsFlagByteZeroOrEightOnly) {
    for (const auto& [flagLow, expected] : {std::pair{0, true}, {8, true}, {4, false}, {1, false}}) {
        HeaderFields fields = fixtures::FileHeaderPageFields();
        fields.flagBits = static_cast<std::uint16_t>(0x0200 | flagLow); // high byte is not examined
        const Page page = MakePage(fields);
        EXPECT_EQ(IsFileHeaderPage(PageHeader::At(page.data()), kTarget), expected) << "flag " << flagLow;
    }
}

TEST(IsFileHeaderPage, RequiresEveryPageZeroProperty) {
    const std::function<void(HeaderFields&)> breaks[] = {
        [](HeaderFields& f) { f.pageType = 11; },   [](HeaderFields& f) { f.level = 1; },
        [](HeaderFields& f) { f.indexId = 1; },     [](HeaderFields& f) { f.previousPage = 5; },
        [](HeaderFields& f) { f.minRecordLength = 4; }, [](HeaderFields& f) { f.nextFile = 1; },
        [](HeaderFields& f) { f.slotCount = 2; },   [](HeaderFields& f) { f.objectId = 98; },
        [](HeaderFields& f) { f.pageNumber = 1; },  [](HeaderFields& f) { f.fileNumber = 2; },
    };
    const Page good = MakePage(fixtures::FileHeaderPageFields());
    ASSERT_TRUE(IsFileHeaderPage(PageHeader::At(good.data()), kTarget));
    for (std::size_t i = 0; i < std::size(breaks); ++i) {
        HeaderFields fields = fixtures::FileHeaderPageFields();
        breaks[i](fields);
        const Page page = MakePage(fields);
        EXPECT_FALSE(IsFileHeaderPage(PageHeader::At(page.data()), kTarget)) << "break " << i;
    }
}

TEST(IsFirstPfsPage, IgnoresFlagBitsButNotThePageZeroProperties) {
    HeaderFields fields = fixtures::FirstPfsPageFields();
    fields.flagBits = 0x0204;
    fields.typeFlags = 7;
    Page page = MakePage(fields);
    EXPECT_TRUE(IsFirstPfsPage(PageHeader::At(page.data()), kTarget));
    EXPECT_FALSE(IsFileHeaderPage(PageHeader::At(page.data()), kTarget));

    fields.pageNumber = 2;
    page = MakePage(fields);
    EXPECT_FALSE(IsFirstPfsPage(PageHeader::At(page.data()), kTarget));
}

TEST(IsNextPage, NeedsTheRightNumberTheRightFileAndADataPage) {
    HeaderFields fields;
    fields.pageNumber = 42;
    Page page = MakePage(fields);
    const PageHeader header = PageHeader::At(page.data());
    EXPECT_TRUE(IsNextPage(1, 42, header));
    EXPECT_FALSE(IsNextPage(1, 43, header));
    EXPECT_FALSE(IsNextPage(2, 42, header));

    page[70] = 1; // the header no longer passes IsDataPage
    EXPECT_FALSE(IsNextPage(1, 42, PageHeader::At(page.data())));
}

} // namespace
} // namespace vorthal
