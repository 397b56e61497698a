// The page map: what PFS pages, IAM pages and page links teach about each page number, and
// the verdict on a candidate fragment measured against it.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/page_map.h"
#include "tests/fixtures/database_builder.h"
#include "tests/fixtures/fragment_image.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using fixtures::DatabaseSpec;
using fixtures::FragmentImage;
using fixtures::IamClaims;
using fixtures::ObjectSpec;
using fixtures::Page;

constexpr std::uint8_t kAllocated = fixtures::kPfsAllocated;
constexpr std::uint8_t kAllocatedIam = fixtures::kPfsAllocated | fixtures::kPfsIamPage;

struct MapTest : ::testing::Test {
    FragmentImage image;
    fixtures::RecordingObserver observer;
    PageMap map;
    std::int64_t sectorsPerCluster = 16;

    PageEvidenceSources Sources() { return {image, sectorsPerCluster, observer}; }
    // Pages placed as one fragment at `sector`, learned with BuildPageMap.
    bool Learn(const std::vector<Page>& pages, std::int32_t beginPage, SectorNumber sector) {
        for (std::size_t i = 0; i < pages.size(); ++i) image.WritePage(sector + 16 * static_cast<SectorNumber>(i), pages[i]);
        return BuildPageMap(map, Sources(), static_cast<std::int64_t>(pages.size()), beginPage, sector);
    }
    std::vector<std::string>& AnalysisLog() { return observer.Log(LogPane::Analysis); }
};

TEST_F(MapTest, ResetSizesTheMapToTheFileAndForgetsWhatAnEarlierFileTaught) {
    std::vector<std::uint8_t> allocation(fixtures::kPfsInterval, kAllocated);
    ASSERT_TRUE(map.Reset(100));
    ASSERT_TRUE(Learn({fixtures::MakePfsPage(1, allocation)}, 1, 0));
    EXPECT_EQ(map.Size(), 100);
    EXPECT_EQ(map.At(99).allocation, kPageAllocated);
    // Evidence about pages past the file is dropped; such pages read as free without an owner.
    EXPECT_EQ(map.At(100), PageMapEntry{});
    EXPECT_EQ(map.At(-1), PageMapEntry{});

    ASSERT_TRUE(map.Reset(200));
    EXPECT_EQ(map.At(50).allocation, kNotLearned);
    EXPECT_EQ(map.At(150).allocation, kNotLearned);
    EXPECT_EQ(map.At(150).ownerSource, kNotLearned);
    ASSERT_TRUE(map.Reset(50));
    EXPECT_EQ(map.At(60), PageMapEntry{});
    ASSERT_TRUE(map.Reset(-5));
    EXPECT_EQ(map.Size(), 0);
}

TEST_F(MapTest, PfsPagesCountOnlyAtPageOneAndMultiplesOf8088) {
    const struct {
        std::int32_t pfsPage;
        bool taken;
    } cases[] = {{1, true}, {8088, true}, {16176, true}, {8089, false}, {100, false}};
    const std::uint8_t bytes[] = {0, kAllocated, kAllocatedIam, 0, 0, kAllocated};
    for (const auto& c : cases) {
        ASSERT_TRUE(map.Reset(20000));
        ASSERT_TRUE(Learn({fixtures::MakePfsPage(c.pfsPage, bytes)}, c.pfsPage, 0));
        const std::int64_t first = c.pfsPage == 1 ? 0 : c.pfsPage;
        EXPECT_EQ(map.At(c.pfsPage).owner, c.taken ? kAllocationPageObjectId : 0) << c.pfsPage;
        EXPECT_EQ(map.At(first + 5).allocation, c.taken ? kPageAllocated : kNotLearned) << c.pfsPage;
        EXPECT_EQ(map.At(first + 3).allocation, c.taken ? kPageFree : kNotLearned) << c.pfsPage;
        EXPECT_EQ(map.At(first + 2).pageKind, c.taken ? kIamPageKind : 0) << c.pfsPage;
    }
}

TEST_F(MapTest, BeforeThePfsPageIsSeenNothingIsLearnedFromOtherPages) {
    ASSERT_TRUE(map.Reset(64));
    const Page iam = fixtures::MakeIamPage(10, 500, fixtures::ClaimsForRun(16, 8));
    const Page data = fixtures::MakeDataPage({.pageNumber = 11, .objectId = 500, .previousPage = 16, .nextPage = 17});
    ASSERT_TRUE(Learn({iam, data}, 10, 0));
    for (std::int64_t p = 0; p < 64; ++p) EXPECT_EQ(map.At(p).owner, 0) << p;
}

// Page 1 is the PFS page; pages 10 to 12 IAM pages; 39 free, the rest up to 63 allocated.
std::vector<Page> AllocationPages(const IamClaims& claims10, const IamClaims& claims11) {
    std::vector<std::uint8_t> allocation(64, kAllocated);
    allocation[39] = 0;
    allocation[10] = allocation[11] = kAllocatedIam;
    std::vector<Page> pages(12);
    pages[1] = fixtures::MakePfsPage(1, allocation);
    pages[10] = fixtures::MakeIamPage(10, 500, claims10);
    pages[11] = fixtures::MakeIamPage(11, 600, claims11);
    return pages;
}

TEST_F(MapTest, ASecondIamClaimLeavesTheFirstOwnerAndLogsEraOrErrb) {
    // Page 20 as a single page, pages 24 to 31 as an extent, claimed by both objects.
    const IamClaims claims{.firstPage = 0, .singlePages = {20}, .extentBitmap = {0x08}};
    ASSERT_TRUE(map.Reset(64));
    ASSERT_TRUE(Learn(AllocationPages(claims, claims), 0, 0));
    EXPECT_EQ(map.At(20).owner, 500);
    for (std::int64_t p = 24; p < 32; ++p) EXPECT_EQ(map.At(p).owner, 500) << p;
    EXPECT_EQ(map.At(10).owner, 500);
    EXPECT_EQ(map.At(11).owner, 600);
    std::vector<std::string> expected{"erra"};
    expected.insert(expected.end(), 8, "errb");
    EXPECT_EQ(AnalysisLog(), expected);
}

TEST_F(MapTest, LinksNameOwnersOnlyOfAllocatedPagesAndYieldToIamClaims) {
    ASSERT_TRUE(map.Reset(64));
    ASSERT_TRUE(Learn(AllocationPages({.firstPage = 0, .singlePages = {20}, .extentBitmap = {}}, {}), 0, 0));
    const std::vector<Page> linked = {
        // previous page 39 is free: the next link (41) is not looked at
        fixtures::MakeDataPage({.pageNumber = 40, .objectId = 700, .previousPage = 39, .nextPage = 41}),
        fixtures::MakeDataPage({.pageNumber = 41, .objectId = 700, .previousPage = 0, .nextPage = 43}),
        // page 20 belongs to object 500: errc, and the next link is still followed
        fixtures::MakeDataPage({.pageNumber = 42, .objectId = 701, .previousPage = 20, .nextPage = 44}),
    };
    ASSERT_TRUE(Learn(linked, 40, 1000));
    EXPECT_EQ(map.At(41).owner, 0);
    EXPECT_EQ(map.At(43).owner, 700);
    EXPECT_EQ(map.At(43).ownerSource, kOwnerFromLink);
    EXPECT_EQ(map.At(44).owner, 701);
    EXPECT_EQ(map.At(20).owner, 500);
    EXPECT_EQ(AnalysisLog(), std::vector<std::string>{"errc"});

    // An IAM page overrides an owner that only a link gave.
    ASSERT_TRUE(Learn({fixtures::MakeIamPage(12, 800, {.firstPage = 0, .singlePages = {43}, .extentBitmap = {}})}, 12, 2000));
    EXPECT_EQ(map.At(43).owner, 800);
    EXPECT_EQ(map.At(43).ownerSource, kOwnerFromAllocationPage);
    EXPECT_EQ(AnalysisLog().size(), 1u);
}

TEST_F(MapTest, AFailedReadEndsTheRoutineWithTheMessageAndKeepsWhatWasLearned) {
    std::vector<std::uint8_t> allocation(64, kAllocated);
    ASSERT_TRUE(map.Reset(64));
    image.FailSector(16 + 3);
    EXPECT_FALSE(Learn({fixtures::MakePfsPage(1, allocation), Page{}}, 1, 0));
    EXPECT_EQ(map.At(5).allocation, kPageAllocated);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].title, "提示");
    EXPECT_EQ(observer.messages[0].text, "read disk error");
}

// A first fragment of two pages whose PFS page a cluster boundary may have cut: with clusters
// under a page and a slot 0 offset that is not 96, only the PFS bytes of the first half count.
TEST_F(MapTest, PfsOfATwoPageFirstFragmentTakesOnlyTheFirstHalfOfACutPage) {
    const struct {
        std::int64_t sectorsPerCluster;
        std::uint16_t slot0;
        std::int64_t lastLearned;  // pages after it stay not learned
    } cases[] = {{8, 8000, 3995}, {8, 96, 8087}, {16, 96, 8087},
                 // whole-page clusters: the slot is trusted, and the "row" it names at 8000 (PFS
                 // bytes 40 40 as its length) is read only up to the end of the page
                 {16, 8000, 8192 - 8004 - 1}};
    std::vector<std::uint8_t> allocation(fixtures::kPfsInterval, kAllocated);
    for (const auto& c : cases) {
        Page pfs = fixtures::MakePfsPage(1, allocation);
        fixtures::SetSlotOffset(pfs, 0, c.slot0);
        image.WritePage(0, fixtures::MakeFileHeaderPage(8088));
        image.WritePage(16, pfs);
        sectorsPerCluster = c.sectorsPerCluster;
        ASSERT_TRUE(map.Reset(8088));
        ASSERT_TRUE(BuildPageMapFromPfs(map, Sources(), 2, 0, 0));
        EXPECT_NE(map.At(c.lastLearned).allocation, kNotLearned) << c.slot0;
        if (c.lastLearned + 1 < 8088) {
            EXPECT_EQ(map.At(c.lastLearned + 1).allocation, kNotLearned) << c.slot0;
        }
        EXPECT_EQ(map.At(1).owner, kAllocationPageObjectId);
    }
}

constexpr std::int32_t kObjectA = 1001;
constexpr std::int32_t kObjectB = 1002;

// Pages 0 to 63: object A on 16..31 (IAM page 10), object B on 40..63 (IAM page 11), page 32
// the file name page; the first fragment 0..15 teaches the map.
struct ClassifyTest : MapTest {
    std::vector<Page> file;

    void SetUp() override {
        DatabaseSpec spec;
        spec.pages = 64;
        spec.objects = {ObjectSpec{.objectId = kObjectA, .iamPage = 10, .firstPage = 16, .pageCount = 16},
                        ObjectSpec{.objectId = kObjectB, .iamPage = 11, .firstPage = 40, .pageCount = 24}};
        file = fixtures::BuildDatabasePages(spec);
        ASSERT_TRUE(map.Reset(64));
        image.AddFragment(file, 0, 16, 0);
        ASSERT_TRUE(BuildPageMap(map, Sources(), 16, 0, 0));
    }
};

TEST_F(ClassifyTest, VerdictsAndTheReadsTheyCost) {
    DatabaseSpec otherSpec;
    otherSpec.pages = 64;
    otherSpec.objects = {ObjectSpec{.objectId = 9999, .iamPage = 10, .firstPage = 40, .pageCount = 24}};
    const std::vector<Page> other = fixtures::BuildDatabasePages(otherSpec);
    std::vector<Page> wrongKind(file.begin(), file.end());
    wrongKind[10] = fixtures::MakeDataPage({.pageNumber = 10, .objectId = kObjectA});

    const struct {
        const char* name;
        const std::vector<Page>* pages;
        std::int32_t first;
        std::int32_t count;
        CandidateVerdict verdict;
        std::int64_t reads;
    } cases[] = {
        {"object A's pages", &file, 16, 16, CandidateVerdict::kFits, 16},
        {"object B's last pages", &file, 56, 8, CandidateVerdict::kFits, 8},
        {"another object id", &other, 40, 8, CandidateVerdict::kRejected, 1},
        {"a data page where an IAM page belongs", &wrongKind, 10, 2, CandidateVerdict::kRejected, 1},
        {"file name page and free pages", &file, 32, 8, CandidateVerdict::kNoEvidence, 8},
        {"allocation pages only", &file, 1, 1, CandidateVerdict::kNoEvidence, 1},
    };
    SectorNumber sector = 10000;
    for (const auto& c : cases) {
        image.AddFragment(*c.pages, c.first, c.count, sector);
        sector += 1000;
    }
    // A line reaching past the file size: rejected without a read.
    const std::size_t pastEnd = image.RecordLine(sector, 16, 56);
    image.BuildIndex();
    for (std::size_t position = 0; position < image.index.Count(); ++position) {
        const auto line = static_cast<std::size_t>(image.index[position].lineIndex);
        if (line == 0) continue;
        const FragmentNumbers& numbers = *image.fragments.Numbers(line);
        image.ForgetReads();
        const CandidateVerdict verdict = ClassifyCandidate(map, Sources(), image.fragments, image.index, position, 64);
        if (line == pastEnd) {
            EXPECT_EQ(verdict, CandidateVerdict::kRejected);
            EXPECT_EQ(image.TotalReads(), 0);
            continue;
        }
        const auto& c = cases[line - 1];
        EXPECT_EQ(verdict, c.verdict) << c.name;
        EXPECT_EQ(image.ReadsOf(numbers.startSector), c.reads) << c.name;
    }
}

TEST_F(ClassifyTest, MatchCountsStopAtTheFirstConflict) {
    std::vector<Page> mixed(file.begin(), file.end());
    mixed[20] = fixtures::MakeDataPage({.pageNumber = 20, .objectId = 4242});
    image.AddFragment(mixed, 16, 16, 5000);
    EXPECT_EQ(MatchFragment(map, Sources(), 16, 16, 5000), (MatchCounts{.matches = 4, .conflicts = 1}));
    EXPECT_EQ(MatchFragment(map, Sources(), 4, 16, 5000), (MatchCounts{.matches = 4, .conflicts = 0}));
}

} // namespace
} // namespace vorthal
