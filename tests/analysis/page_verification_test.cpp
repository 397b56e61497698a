#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/page_interpretation.h"
#include "base/bytes.h"
#include "tests/fixtures/database_builder.h"

namespace vorthal {
namespace {

using fixtures::Page;
using fixtures::Protection;

constexpr std::size_t LastByteOfSector(std::size_t sector) {
    return sector * kSectorSize + kSectorSize - 1;
}

struct PageCase {
    std::string name;
    std::function<void(Page&)> edit;
    bool intact;
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

// A page with the torn-page flag, pattern 1 and every sector of 1 to 15 ending in 01.
void TornLiteral(Page& p) {
    p[5] = 0x01;
    p[60] = 0x01;
    for (std::size_t sector = 1; sector < 16; ++sector)
        p[LastByteOfSector(sector)] = 0x01;
}

// A page with the checksum flag whose only other non-zero word is the flag word at offset 4.
void ChecksumFlagOnly(Page& p, std::uint32_t stored) {
    p[5] = 0x02;
    StoreLE32(p.data() + 60, stored);
}

class VerifyPageCases : public ::testing::TestWithParam<PageCase> {};

TEST_P(VerifyPageCases, JudgesTheWholePage) {
    Page page{};
    GetParam().edit(page);
    EXPECT_EQ(VerifyPage(page), GetParam().intact);
}

INSTANTIATE_TEST_SUITE_P(
    Literal, VerifyPageCases,
    ::testing::Values(PageCase{"AllZero", [](Page&) {}, true},
                      PageCase{"NoVerificationFlag", [](Page& p) { p[100] = 0x55; }, false},
                      PageCase{"NoVerificationFlagLooksTorn",
                               [](Page& p) {
                                   TornLiteral(p);
                                   p[5] = 0x00;
                               },
                               false},
                      PageCase{"UnknownVerificationFlag",
                               [](Page& p) {
                                   TornLiteral(p);
                                   p[5] = 0x03;
                               },
                               false},
                      PageCase{"ChecksumFlagWord", [](Page& p) { ChecksumFlagOnly(p, 0x01000000); }, true},
                      PageCase{"ChecksumStoredZero", [](Page& p) { ChecksumFlagOnly(p, 0); }, false},
                      PageCase{"ChecksumFlagInHighNibbleIgnored",
                               [](Page& p) {
                                   ChecksumFlagOnly(p, 0x09000000);
                                   p[5] = 0x12;
                               },
                               true},
                      PageCase{"TornAllSectorsAgree", TornLiteral, true},
                      PageCase{"TornSectorZeroNotTested",
                               [](Page& p) {
                                   TornLiteral(p);
                                   p[511] = 0x02;
                               },
                               true},
                      PageCase{"TornUpperBitsNotTested",
                               [](Page& p) {
                                   TornLiteral(p);
                                   p[LastByteOfSector(9)] = 0xFD;
                               },
                               true},
                      PageCase{"TornSectorSevenDiffers",
                               [](Page& p) {
                                   TornLiteral(p);
                                   p[4095] = 0x02;
                               },
                               false},
                      PageCase{"TornLastSectorDiffers",
                               [](Page& p) {
                                   TornLiteral(p);
                                   p[8191] = 0x00;
                               },
                               false}),
    [](const ::testing::TestParamInfo<PageCase>& param) { return param.param.name; });

// One word placed in a given sector of a checksum page; the stored value is the expected
// checksum: the flag word's 0x01000000 XOR the word rotated left by 15 less its sector.
struct ChecksumCase {
    std::string name;
    std::size_t offset;
    std::uint32_t word;
    std::uint32_t checksum;
};

void PrintTo(const ChecksumCase& c, std::ostream* os) {
    *os << c.name;
}

class PageChecksumCases : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(PageChecksumCases, RotatesEachWordBySector) {
    Page page{};
    ChecksumFlagOnly(page, GetParam().checksum);
    StoreLE32(page.data() + GetParam().offset, GetParam().word);
    EXPECT_EQ(PageChecksum(page), GetParam().checksum);
    EXPECT_TRUE(VerifyPage(page));
}

INSTANTIATE_TEST_SUITE_P(Literal, PageChecksumCases,
                         ::testing::Values(ChecksumCase{"Sector0", 0, 0x00010001, 0x81008000},
                                           ChecksumCase{"Sector1", 512, 0x00000001, 0x01004000},
                                           ChecksumCase{"Sector8WrapsTopBit", 4096, 0x80000000, 0x01000040},
                                           ChecksumCase{"Sector15NotRotated", 8188, 0x12345678, 0x13345678}),
                         [](const ::testing::TestParamInfo<ChecksumCase>& param) {
                             return param.param.name;
                         });

Page GeneratedDataPage() {
    fixtures::DataPageFields fields;
    fields.pageNumber = 77;
    fields.previousPage = 76;
    fields.nextPage = 78;
    return fixtures::MakeDataPage(fields);
}

TEST(VerifyPage, ChecksumCatchesOneFlippedBitInAnySector) {
    Page page = GeneratedDataPage();
    fixtures::ProtectPage(page, Protection::kChecksum);
    ASSERT_TRUE(VerifyPage(page));
    for (std::size_t sector = 0; sector < 16; ++sector) {
        Page damaged = page;
        damaged[sector * kSectorSize + 200] ^= 0x08;
        EXPECT_FALSE(VerifyPage(damaged)) << "sector " << sector;
    }
    Page storedChanged = page;
    storedChanged[61] ^= 0x01;
    EXPECT_FALSE(VerifyPage(storedChanged));
}

// A write torn between sectors leaves sectors of two versions of the page, each stamped with
// its own pattern.
TEST(VerifyPage, TornPageCatchesSectorsOfTwoWrites) {
    Page older = GeneratedDataPage();
    fixtures::ProtectPage(older, Protection::kTornBits, 1);
    Page newer = GeneratedDataPage();
    newer[3000] ^= 0xFF;
    fixtures::ProtectPage(newer, Protection::kTornBits, 2);
    ASSERT_TRUE(VerifyPage(older));
    ASSERT_TRUE(VerifyPage(newer));
    for (std::size_t written = 1; written < 16; ++written) {
        Page torn = older;
        std::copy(newer.begin(), newer.begin() + static_cast<std::ptrdiff_t>(written * kSectorSize),
                  torn.begin());
        EXPECT_FALSE(VerifyPage(torn)) << written << " sectors written";
    }
}

TEST(VerifyPage, UnprotectedNonZeroPageFails) {
    Page page = GeneratedDataPage();
    fixtures::ProtectPage(page, Protection::kNone);
    EXPECT_FALSE(VerifyPage(page));
}

struct RestoreCase {
    std::string name;
    std::uint8_t flagByte;
    std::uint32_t tornBits;
    std::uint8_t sector1LowBits; // expected low bits of byte 1,023 afterwards
    std::uint8_t otherLowBits;   // expected low bits of bytes 1,535 .. 8,191
};

void PrintTo(const RestoreCase& c, std::ostream* os) {
    *os << c.name;
}

class RestoreTornBitsCases : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(RestoreTornBitsCases, PutsBackTheSavedBitsOnly) {
    Page page{};
    page[5] = GetParam().flagByte;
    StoreLE32(page.data() + 60, GetParam().tornBits);
    for (std::size_t sector = 0; sector < 16; ++sector)
        page[LastByteOfSector(sector)] = 0xAB; // low bits 11
    RestoreTornBits(page);
    EXPECT_EQ(page[511], 0xAB) << "sector 0 is never changed";
    EXPECT_EQ(page[1023], 0xA8 | GetParam().sector1LowBits);
    for (std::size_t sector = 2; sector < 16; ++sector)
        EXPECT_EQ(page[LastByteOfSector(sector)], 0xA8 | GetParam().otherLowBits) << "sector " << sector;
    EXPECT_EQ(LoadLE32(page.data() + 60), GetParam().tornBits);
}

INSTANTIATE_TEST_SUITE_P(Literal, RestoreTornBitsCases,
                         ::testing::Values(RestoreCase{"Pattern1", 0x01, 0x00000005, 1, 0},
                                           RestoreCase{"Pattern2", 0x01, 0x0000000A, 2, 0},
                                           RestoreCase{"Pattern0Unchanged", 0x01, 0x00000004, 3, 3},
                                           RestoreCase{"Pattern3Unchanged", 0x01, 0x00000007, 3, 3},
                                           RestoreCase{"ChecksumPageUnchanged", 0x02, 0x00000005, 3, 3},
                                           RestoreCase{"FlagBit0WithOtherBits", 0x03, 0x00000005, 1, 0}),
                         [](const ::testing::TestParamInfo<RestoreCase>& param) { return param.param.name; });

// Marking and restoring are inverse on every kind of generated page, for both patterns: the
// restored page equals the original except for the flag byte and the torn-bit field.
TEST(RestoreTornBits, UndoesTornPageMarking) {
    const std::vector<std::pair<std::string, Page>> pages = {
        {"file header", fixtures::MakeFileHeaderPage(1280)},
        {"pfs", fixtures::MakePfsPage(1, std::vector<std::uint8_t>(300, 0x44))},
        {"iam", fixtures::MakeIamPage(20, 5, fixtures::ClaimsForRun(21, 30))},
        {"data", GeneratedDataPage()},
        {"file name", fixtures::MakeFileNamePage(u"C:\\Data\\x.mdf", u"x")},
    };
    for (const auto& [kind, original] : pages) {
        for (std::uint8_t pattern : {std::uint8_t{1}, std::uint8_t{2}}) {
            SCOPED_TRACE(kind + " pattern " + std::to_string(pattern));
            Page page = original;
            fixtures::ProtectPage(page, Protection::kTornBits, pattern);
            EXPECT_TRUE(VerifyPage(page));
            RestoreTornBits(page);
            for (std::size_t i = 0; i < kPageSize; ++i) {
                if (i == 5 || (i >= 60 && i < 64))
                    continue;
                ASSERT_EQ(page[i], original[i]) << "byte " << i;
            }
        }
    }
}

TEST(ReadPageBytes, CopiesWithinThePageOnly) {
    Page page{};
    for (std::size_t i = 0; i < kPageSize; ++i)
        page[i] = static_cast<std::uint8_t>(i * 7);
    std::array<std::uint8_t, 4> out{};
    ASSERT_TRUE(ReadPageBytes(page, 8188, out));
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{page[8188], page[8189], page[8190], page[8191]}));
    out.fill(0xEE);
    EXPECT_FALSE(ReadPageBytes(page, 8189, out));
    EXPECT_FALSE(ReadPageBytes(page, SIZE_MAX - 1, out));
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{0xEE, 0xEE, 0xEE, 0xEE}))
        << "nothing copied on a refused range";
    EXPECT_TRUE(ReadPageBytes(page, kPageSize, std::span<std::uint8_t>{}));
}

} // namespace
} // namespace vorthal
