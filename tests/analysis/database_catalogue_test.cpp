// The database files found: which fragment lines become rows, and the names read again from a
// content file.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/database_catalogue.h"
#include "tests/fixtures/database_builder.h"
#include "tests/fixtures/fragment_image.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

struct CatalogueTest : ::testing::Test {
    fixtures::FragmentImage image;
    fixtures::RecordingObserver observer;
    std::vector<fixtures::Page> file = [] {
        fixtures::DatabaseSpec spec;
        spec.pages = 4096;
        spec.path = u"D:\\db\\x.MDF";
        return fixtures::BuildDatabasePages(spec);
    }();

    std::vector<DatabaseFileRow> List(bool contentFileMode) {
        return ListDatabaseFiles(image.fragments, contentFileMode, image, observer);
    }
};

TEST_F(CatalogueTest, OneRowPerVisibleFragmentStartingAtPageZero) {
    image.AddFragment(file, 0, 40, 1000, "scan memo");
    image.AddFragment(file, 1, 10, 3000);
    image.AddFragment(file, 0, 40, 5000, "hidden");
    image.AddFragment(file, 0, 2, 7000, "无效文件头,size:32768KB");
    std::string hidden(image.fragments.Line(2));
    hidden.replace(hidden.size() - 2, 1, " N ");
    image.fragments.Replace(2, hidden);

    const std::vector<DatabaseFileRow> rows = List(false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (DatabaseFileRow{.caption = 1, .name = "scan memo", .sizeKb = 320, .beginPage = 0, .endPage = 40,
                                        .startSector = 1000, .endSector = 1640, .lineIndex = 0}));
    EXPECT_EQ(rows[1].caption, 2);
    EXPECT_EQ(rows[1].lineIndex, 3u);
    EXPECT_EQ(rows[1].name, "无效文件头,size:32768KB");
    EXPECT_EQ(image.TotalReads(), 0);
    image.fragments.Clear();
    EXPECT_TRUE(List(false).empty());
}

TEST_F(CatalogueTest, ContentFileModeReadsNameAndSizeAgainForFragmentsHoldingPage32) {
    image.AddFragment(file, 0, 32, 1000, "keeps");
    image.AddFragment(file, 0, 33, 5000, "replaced");
    const std::vector<DatabaseFileRow> rows = List(true);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "keeps");
    EXPECT_EQ(rows[1].name, "D:\\db\\x.mdf:32768KB");
    EXPECT_EQ(image.ReadsOf(1000), 0);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(CatalogueTest, ContentFileModeFailuresShowTheirMessageAndKeepTheMemo) {
    const struct {
        const char* name;
        SectorNumber failingSector;
        bool blankPage0;
        bool blankPage32;
        const char* title;
        const char* text;
    } cases[] = {
        {"page 0 unreadable", 1000, false, false, "mess", "read disk error"},
        {"no size", 0, true, false, "mess", "get file size error"},
        {"page 32 unreadable", 1000 + 512, false, false, "提示", "read disk error"},
        {"no name", 0, false, true, "提示", "get file name error"},
    };
    for (const auto& c : cases) {
        fixtures::FragmentImage fresh;
        std::vector<fixtures::Page> pages(file.begin(), file.begin() + 40);
        if (c.blankPage0) pages[0] = fixtures::Page{};
        if (c.blankPage32) pages[32] = fixtures::Page{};
        fresh.AddFragment(pages, 0, 40, 1000, "scan memo");
        if (c.failingSector != 0) fresh.FailSector(c.failingSector);
        fixtures::RecordingObserver messages;
        const std::vector<DatabaseFileRow> rows = ListDatabaseFiles(fresh.fragments, true, fresh, messages);
        ASSERT_EQ(rows.size(), 1u) << c.name;
        EXPECT_EQ(rows[0].name, "scan memo") << c.name;
        ASSERT_EQ(messages.messages.size(), 1u) << c.name;
        EXPECT_EQ(messages.messages[0].title, c.title) << c.name;
        EXPECT_EQ(messages.messages[0].text, c.text) << c.name;
    }
}

} // namespace
} // namespace vorthal
