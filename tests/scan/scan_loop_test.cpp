#include "scan/scan_loop.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/fixtures/database_builder.h"
#include "tests/workflow/session_fixture.h"

namespace vorthal {
namespace {

using fixtures::RecordingScanObserver;
using fixtures::SessionOver;
using fixtures::SyntheticImage;
using fixtures::WholeRange;

std::vector<std::string> Lines(const Session& session) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < session.fragments.Count(); ++i) lines.emplace_back(session.fragments.Line(i));
    return lines;
}

bool Logged(RecordingScanObserver& observer, const std::string& line) {
    const std::vector<std::string>& log = observer.ScanLog();
    return std::find(log.begin(), log.end(), line) != log.end();
}

struct JoinCase {
    const char* name;
    SectorNumber secondStart;
    std::int32_t secondFirstPage;
    bool joins;
};

void PrintTo(const JoinCase& c, std::ostream* os) { *os << c.name; }

class RunJoinsFragmentCases : public ::testing::TestWithParam<JoinCase> {};

// Pages 100 to 109 at sectors 1600 to 1759.
TEST_P(RunJoinsFragmentCases, JoinsOnlyAcrossAGapWherePageNumbersPlaceTheRun) {
    const FragmentNumbers previous{1, 1600, 1760, 80, 100, 110};
    EXPECT_EQ(RunJoinsFragment(previous, GetParam().secondStart, GetParam().secondFirstPage), GetParam().joins);
}

INSTANTIATE_TEST_SUITE_P(
    Gaps, RunJoinsFragmentCases,
    ::testing::Values(JoinCase{"gap_of_80_sectors_in_place", 1840, 115, true},
                      JoinCase{"distance_not_matching_pages", 1856, 115, false},
                      JoinCase{"starting_at_the_end_sector", 1760, 110, false},
                      JoinCase{"largest_gap", 1760 + 129408, 110 + 8088, true},
                      JoinCase{"gap_one_page_too_long", 1760 + 129424, 110 + 8089, false},
                      JoinCase{"before_the_fragment", 1584, 99, false}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(RunScan, JoinsARunToThePreviousFragmentAcrossAGap) {
    SyntheticImage image(4096);
    image.PutRun(1600, 100, 10);
    image.PutRun(1840, 115, 5);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;

    EXPECT_EQ(fixtures::Scan(*session, WholeRange(*session), observer), ScanEnd::kCompleted);

    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|1600|1920|160|100|120| |Y|"});
    EXPECT_EQ(observer.rows, Lines(*session));
    EXPECT_EQ(observer.rowsRemoved, 1);
}

TEST(RunScan, KeepsARunApartWhoseDistanceDoesNotMatchItsPageNumbers) {
    SyntheticImage image(4096);
    image.PutRun(1600, 100, 10);
    image.PutRun(1856, 115, 5);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_EQ(Lines(*session),
              (std::vector<std::string>{"1|1600|1760|80|100|110| |Y|", "2|1856|1936|40|115|120| |Y|"}));
}

struct SkipCase {
    std::int64_t step;
    SectorNumber firstExamined; // after a run whose last page lies on sectors 3984 to 3999
};

class SkipRuleCases : public ::testing::TestWithParam<SkipCase> {};

// A probe page at the first position the skip rule lets through is found; the pages of the run
// itself are never taken up again as runs of their own.
TEST_P(SkipRuleCases, ExaminesTheFirstGridPositionAfterTheRun) {
    SyntheticImage image(8192);
    image.PutRun(3200, 10, 50); // pages 10 to 59, runEnd 4000
    fixtures::HeaderFields probe;
    probe.pageNumber = 900;
    image.PutHeader(GetParam().firstExamined, probe);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session, GetParam().step), observer);

    const SectorNumber probeAt = GetParam().firstExamined;
    EXPECT_EQ(Lines(*session), (std::vector<std::string>{"1|3200|4000|400|10|60| |Y|",
                                                         "2|" + std::to_string(probeAt) + "|" +
                                                             std::to_string(probeAt + 16) + "|8|900|901| |Y|"}));
}

INSTANTIATE_TEST_SUITE_P(Steps, SkipRuleCases,
                         ::testing::Values(SkipCase{1, 3985}, SkipCase{8, 3992}, SkipCase{16, 4000}),
                         [](const auto& testInfo) { return "step_" + std::to_string(testInfo.param.step); });

TEST(RunScan, StopDuringALongRunRecordsTheRunFirst) {
    SyntheticImage image(65536);
    image.PutRun(160, 2, 3000); // 48,000 sectors: the run crosses several windows
    image.PutRun(60000, 5000, 4);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;
    observer.onRowAdded = [&](const std::string&) { session->scanStopped = true; };

    EXPECT_EQ(fixtures::Scan(*session, WholeRange(*session), observer), ScanEnd::kStopped);

    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|160|48160|24000|2|3002| |Y|"});
    EXPECT_EQ(observer.record.status, kScanStoppedStatus);
    EXPECT_TRUE(session->pageOrderIndex.Empty());
}

TEST(RunScan, AnUnreadableCandidateGivesOneFailureLineAndTheScanGoesOn) {
    SyntheticImage image(4096);
    image.PutRun(2000, 7, 3);
    auto session = SessionOver(image.bytes(), {800});
    RecordingScanObserver observer;

    EXPECT_EQ(fixtures::Scan(*session, WholeRange(*session), observer), ScanEnd::kCompleted);

    EXPECT_TRUE(Logged(observer, "512error1sec800"));
    EXPECT_EQ(std::count_if(observer.ScanLog().begin(), observer.ScanLog().end(),
                            [](const std::string& line) { return line.starts_with("512error"); }),
              1);
    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|2000|2048|24|7|10| |Y|"});
}

// A failed window read must not leave the previous window's bytes to be scanned again: the
// run at 2000 of the first window would reappear at 12288 + 2000.
TEST(RunScan, AFailedWindowReadNeverScansStaleBytes) {
    SyntheticImage image(36864);
    image.PutRun(2000, 10, 5);
    image.PutRun(12288 + 4000, 50, 5);
    auto session = SessionOver(image.bytes(), {12288 + 96});
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_EQ(Lines(*session),
              (std::vector<std::string>{"1|2000|2080|40|10|15| |Y|", "2|16288|16368|40|50|55| |Y|"}));
    EXPECT_TRUE(Logged(observer, "512error1sec12384"));
}

// The run ends before the unreadable page; the pages behind it lie where their numbers place
// them, so they join the fragment and the unreadable page counts as present.
TEST(RunScan, AnUnreadablePageInsideARunEndsItAndTheRestJoinsAgain) {
    SyntheticImage image(4096);
    image.PutRun(1600, 100, 20);
    auto session = SessionOver(image.bytes(), {1600 + 5 * 16});
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_TRUE(Logged(observer, "8192error1sec1680"));
    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|1600|1920|160|100|120| |Y|"});
}

// Page 0 at 320, page 1 behind it and pages 2 to 39: every page in use, so one run.
fixtures::DatabaseSpec FortyPageFile() {
    fixtures::DatabaseSpec spec;
    spec.pages = 40;
    spec.objects = {{1977058079, 2, 3, 29, 1, true}, {1977058080, 33, 34, 6, 1, true}};
    return spec;
}

TEST(RunScan, AFileStartBecomesAFragmentFromPageZeroNamedFromPages0And32) {
    SyntheticImage image(4096);
    image.PutBytes(320, fixtures::BuildDatabaseFile(FortyPageFile()));
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|320|960|320|0|40|C:\\Data\\fixture.mdf(0.31 MB)|Y|"});
}

TEST(RunScan, AnUnreadablePageInsideAFileStartIsCountedAsPartOfTheRun) {
    SyntheticImage image(4096);
    image.PutBytes(320, fixtures::BuildDatabaseFile(FortyPageFile()));
    auto session = SessionOver(image.bytes(), {320 + 10 * 16});
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_TRUE(Logged(observer, "8192errorhead1sec480"));
    // Page 11 carries a number one higher than expected and ends the file start of 11 pages;
    // pages 11 to 39 follow as a run that begins right at its end, so it is not joined.
    EXPECT_EQ(Lines(*session), (std::vector<std::string>{"1|320|496|88|0|11|无效文件头,size:320KB|Y|",
                                                         "2|496|960|232|11|40| |Y|"}));
}

TEST(RunScan, AShortFileStartIsDescribedByTheSizeInItsHeader) {
    fixtures::DatabaseSpec spec;
    spec.pages = 20;
    spec.sizeInHeader = 100;
    // Pages 3 to 7 stay empty: the run of pages 8 to 19 joins the file start across them.
    spec.objects = {{1977058079, 2, 8, 12, 1, true}};
    SyntheticImage image(4096);
    image.PutBytes(160, fixtures::BuildDatabaseFile(spec));
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|160|480|160|0|20|无效文件头,size:800KB|Y|"});
}

TEST(RunScan, AFileHeaderPageWithoutPageOneBehindItIsNoFragment) {
    SyntheticImage image(1024);
    image.PutHeader(320, fixtures::FileHeaderPageFields());
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;

    fixtures::Scan(*session, WholeRange(*session), observer);

    EXPECT_TRUE(session->fragments.Empty());
}

TEST(RunScan, TheBeginPageLimitLeavesAGapInTheFragmentNumbers) {
    SyntheticImage image(4096);
    image.PutRun(160, 999, 2);
    image.PutRun(800, 1000, 2);
    image.PutRun(1600, 5, 2);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;
    ScanOptions options = WholeRange(*session);
    options.limitBeginPage = true;
    options.maxBeginPage = 1000;

    fixtures::Scan(*session, options, observer);

    EXPECT_EQ(Lines(*session),
              (std::vector<std::string>{"1|160|192|16|999|1001| |Y|", "3|1600|1632|16|5|7| |Y|"}));
}

TEST(RunScan, OnlyPagesOfTheTargetFileAreRecognised) {
    SyntheticImage image(2048);
    image.PutRun(160, 50, 3, 1);
    image.PutRun(800, 70, 3, 3);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;
    ScanOptions options = WholeRange(*session);
    options.targetFileNumber = 3;

    fixtures::Scan(*session, options, observer);

    EXPECT_EQ(Lines(*session), std::vector<std::string>{"1|800|848|24|70|73| |Y|"});
    EXPECT_EQ(session->targetFileNumber, 3);
}

TEST(RunScan, CompletesWithTheProgressLinesAndRebuildsTheIndex) {
    SyntheticImage image(2048);
    image.PutRun(800, 9, 2);
    image.PutRun(1600, 3, 2);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;
    ScanOptions options = WholeRange(*session, 64);
    options.beginSector = 512;

    EXPECT_EQ(fixtures::Scan(*session, options, observer), ScanEnd::kCompleted);

    ASSERT_EQ(observer.ScanLog().size(), 2u);
    EXPECT_TRUE(observer.ScanLog()[0].starts_with(kScanStartedPhrase));
    EXPECT_TRUE(observer.ScanLog()[1].starts_with(kScanCompletedPhrase));
    EXPECT_EQ(observer.record.status, kScanCompletedPhrase);
    EXPECT_TRUE(session->scanStopped);
    EXPECT_EQ(session->dataSource.sectorsPerCluster, 64); // the step typed, before 64 becomes 16
    EXPECT_EQ(observer.record.gauge.front(), 25);          // 512 x 100 / 2048
    ASSERT_EQ(session->pageOrderIndex.Count(), 2u);
    EXPECT_EQ(session->pageOrderIndex[0].lineIndex, 1);
}

TEST(RunScan, BeginEqualToEndExaminesNothingAndCompletes) {
    SyntheticImage image(1024);
    image.PutRun(160, 9, 2);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver observer;
    ScanOptions options = WholeRange(*session);
    options.beginSector = options.endSector = 160;

    EXPECT_EQ(fixtures::Scan(*session, options, observer), ScanEnd::kCompleted);
    EXPECT_TRUE(session->fragments.Empty());
    EXPECT_EQ(observer.ScanLog().size(), 2u);
}

TEST(RunScan, AFirstWindowWithoutOneReadableSectorEndsTheRun) {
    auto session = SessionOver(SyntheticImage(1024).bytes());
    RecordingScanObserver observer;
    ScanOptions options = WholeRange(*session);
    options.beginSector = 2048;
    options.endSector = 4096;

    EXPECT_EQ(fixtures::Scan(*session, options, observer), ScanEnd::kFirstFillFailed);
    EXPECT_TRUE(Logged(observer, "512error1sec2048"));
    EXPECT_FALSE(session->scanStopped);
}

TEST(RunScan, RefusesAStepBelowOne) {
    auto session = SessionOver(SyntheticImage(64).bytes());
    RecordingScanObserver observer;
    EXPECT_EQ(fixtures::Scan(*session, WholeRange(*session, 0), observer), ScanEnd::kInvalidOptions);
    EXPECT_TRUE(observer.ScanLog().empty());
}

} // namespace
} // namespace vorthal
