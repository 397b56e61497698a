#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "analysis/page_interpretation.h"
#include "base/bytes.h"
#include "tests/fixtures/database_builder.h"

namespace vorthal {
namespace {

using namespace std::string_view_literals;
using fixtures::Page;
using fixtures::Protection;

// Pages live on the heap at their exact size, so the sanitizer build flags any read past them.
std::unique_ptr<Page> EditedPage(const std::function<void(Page&)>& edit) {
    auto page = std::make_unique<Page>();
    edit(*page);
    return page;
}

void SetSlot0(Page& page, std::uint16_t offset) {
    fixtures::SetSlotOffset(page, 0, offset);
}

void PutSize(Page& page, std::size_t at, std::int32_t size) {
    StoreLE32(page.data() + at, static_cast<std::uint32_t>(size));
    StoreLE32(page.data() + at + 4, 0xFFFFFFFFu);
}

void PutText(Page& page, std::size_t at, std::u16string_view text) {
    for (char16_t unit : text) {
        StoreLE16(page.data() + at, unit);
        at += 2;
    }
}

// Row 0 at offset 96 holding `text` in UTF-16LE.
void NameRow(Page& page, std::u16string_view text) {
    SetSlot0(page, 96);
    PutText(page, 96, text);
}

struct SizeCase {
    std::string name;
    std::function<void(Page&)> edit;
    std::optional<std::int32_t> size;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadDatabaseFileSizeCases : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ReadDatabaseFileSizeCases, TakesTheNumberBeforeTheFirstFFRun) {
    const auto page = EditedPage(GetParam().edit);
    EXPECT_EQ(ReadDatabaseFileSize(*page), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Edges, ReadDatabaseFileSizeCases,
                         ::testing::Values(SizeCase{"Literal",
                                                    [](Page& p) {
                                                        SetSlot0(p, 96);
                                                        PutSize(p, 100, 4096);
                                                    },
                                                    4096},
                                           SizeCase{"OnlyThreeFF",
                                                    [](Page& p) {
                                                        SetSlot0(p, 96);
                                                        PutSize(p, 100, 4096);
                                                        p[107] = 0;
                                                    },
                                                    std::nullopt},
                                           SizeCase{"RunBeforeRowZeroIgnored",
                                                    [](Page& p) {
                                                        SetSlot0(p, 400);
                                                        PutSize(p, 200, 111);
                                                        PutSize(p, 500, 222);
                                                    },
                                                    222},
                                           SizeCase{"FirstRunWins",
                                                    [](Page& p) {
                                                        SetSlot0(p, 96);
                                                        PutSize(p, 100, 333);
                                                        PutSize(p, 300, 444);
                                                    },
                                                    333},
                                           SizeCase{"NegativeSlotOffsetSearchesFromPageStart",
                                                    [](Page& p) {
                                                        SetSlot0(p, 0x8000);
                                                        PutSize(p, 40, 555);
                                                    },
                                                    555},
                                           SizeCase{"RunAtPageStartHasNoNumberBeforeIt",
                                                    [](Page& p) {
                                                        SetSlot0(p, 0);
                                                        StoreLE32(p.data(), 0xFFFFFFFFu);
                                                    },
                                                    std::nullopt},
                                           SizeCase{"SlotOffsetPastThePage",
                                                    [](Page& p) {
                                                        SetSlot0(p, 0x7FFF);
                                                        PutSize(p, 100, 4096);
                                                    },
                                                    std::nullopt},
                                           SizeCase{"SlotOffsetInSlotArray",
                                                    [](Page& p) {
                                                        SetSlot0(p, 8189);
                                                        PutSize(p, 100, 4096);
                                                    },
                                                    std::nullopt},
                                           SizeCase{"RunEndingAtSlotArray",
                                                    [](Page& p) {
                                                        SetSlot0(p, 96);
                                                        PutSize(p, 8182, 666);
                                                    },
                                                    666}),
                         [](const ::testing::TestParamInfo<SizeCase>& param) { return param.param.name; });

// With pattern 1 the torn marks raise the slot 0 offset of page 0 from 96 to 352, past the
// size row: the size is found only once the bits are restored.
TEST(ReadDatabaseFileSize, NeedsTornBitsRestored) {
    auto page = std::make_unique<Page>(fixtures::MakeFileHeaderPage(1280));
    fixtures::ProtectPage(*page, Protection::kTornBits, 1);
    EXPECT_EQ(SlotOffset(*page, 0), 352);
    EXPECT_EQ(ReadDatabaseFileSize(*page), std::nullopt);
    RestoreTornBits(*page);
    EXPECT_EQ(ReadDatabaseFileSize(*page), 1280);
}

struct NameCase {
    std::string name;
    std::function<void(Page&)> edit;
    std::optional<std::string> path;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadDatabaseFileNameCases : public ::testing::TestWithParam<NameCase> {};

TEST_P(ReadDatabaseFileNameCases, TakesTheTextBetweenTwoBlanksAndMdf) {
    const auto page = EditedPage(GetParam().edit);
    EXPECT_EQ(ReadDatabaseFileName(*page), GetParam().path);
}

NameCase Row(std::string name, std::u16string_view text, std::optional<std::string> path) {
    const std::u16string copy(text);
    return NameCase{std::move(name), [copy](Page& p) { NameRow(p, copy); }, std::move(path)};
}

INSTANTIATE_TEST_SUITE_P(
    Text, ReadDatabaseFileNameCases,
    ::testing::Values(
        Row("Literal", u"word  D:\\db\\x.MDF", "D:\\db\\x.mdf"),
        Row("LiteralWithoutTwoBlanks", u"word D:\\db\\x.MDF", std::nullopt),
        Row("ExtensionInAnyCase", u"  C:\\a\\B.mDf", "C:\\a\\B.mdf"),
        Row("Cjk", u"  K:\\授課資料\\1042_DBMS\\資料庫\\northwnd.mdf",
            "K:\\授課資料\\1042_DBMS\\資料庫\\northwnd.mdf"),
        Row("Cyrillic", u"  C:\\Users\\Артём Вячеславович\\Database.mdf",
            "C:\\Users\\Артём Вячеславович\\Database.mdf"),
        Row("Turkish", u"  F:\\Yeni klasör\\İşlem\\Database1.mdf", "F:\\Yeni klasör\\İşlem\\Database1.mdf"),
        Row("SurrogatePair", u"  C:\\𠀀\\a.mdf", "C:\\𠀀\\a.mdf"),
        Row("UnpairedHighSurrogate", u"  C:\\\xD800x.mdf"sv, "C:\\\xEF\xBF\xBDx.mdf"),
        Row("UnpairedLowSurrogate", u"  C:\\\xDC00x.mdf"sv, "C:\\\xEF\xBF\xBDx.mdf"),
        Row("TrimsBlanksAndControls",
            u"  \t\x01"
            u"C:\\a\\b \x1F.mdf",
            "C:\\a\\b.mdf"),
        Row("EndsAtUnitZero", u"  C:\\a\0junk.mdf"sv, "C:\\a.mdf"),
        Row("LogicalNameEndingMdfThenPath", u"Store.mdf   C:\\x\\Store.mdf", "C:\\x\\Store.mdf"),
        Row("LogicalNameEndingMdfOnly", u"Store.mdf", std::nullopt),
        Row("NoMdf", u"  C:\\x\\data.ndf", std::nullopt)),
    [](const ::testing::TestParamInfo<NameCase>& param) { return param.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Bounds, ReadDatabaseFileNameCases,
    ::testing::Values(NameCase{"AtMost4001Units",
                               [](Page& p) {
                                   NameRow(p, u"  ");
                                   PutText(p, 100, std::u16string(4030, u'a') + u".mdf");
                               },
                               std::string(4001, 'a') + ".mdf"},
                      // The last two bytes of ".mdf" are the slot 0 offset itself: 'f', 0 is offset 102.
                      NameCase{"MdfEndingThePage",
                               [](Page& p) {
                                   PutText(p, 8160, u"  C:\\zzzzzzz.md");
                                   SetSlot0(p, 0x66);
                               },
                               "C:\\zzzzzzz.mdf"},
                      NameCase{"MdfCutByThePageEnd",
                               [](Page& p) {
                                   PutText(p, 8160, u"  C:\\zzzzzzzz.m");
                                   SetSlot0(p, 0x64);
                               },
                               std::nullopt},
                      NameCase{"NegativeSlotOffsetSearchesFromPageStart",
                               [](Page& p) {
                                   NameRow(p, u"  C:\\x.mdf");
                                   SetSlot0(p, 0x8000);
                               },
                               "C:\\x.mdf"},
                      NameCase{"MdfAtPageStartWalksNoFurther",
                               [](Page& p) {
                                   PutText(p, 0, u".mdf");
                                   SetSlot0(p, 0xFFFF);
                               },
                               std::nullopt},
                      NameCase{"SlotOffsetPastThePage",
                               [](Page& p) {
                                   NameRow(p, u"  C:\\x.mdf");
                                   SetSlot0(p, 0x7FFF);
                               },
                               std::nullopt},
                      NameCase{"PathBeforeRowZero",
                               [](Page& p) {
                                   NameRow(p, u"  C:\\x.mdf");
                                   SetSlot0(p, 400);
                               },
                               std::nullopt},
                      // The walk back tests positions down to the first one at or below the row start.
                      NameCase{"WalkEndsAtRowStart",
                               [](Page& p) {
                                   NameRow(p, u"  C:\\a.mdf");
                                   SetSlot0(p, 98);
                               },
                               std::nullopt},
                      NameCase{"WalkTestsFirstPositionBelowRowStart",
                               [](Page& p) {
                                   NameRow(p, u"  C:\\a.mdf");
                                   SetSlot0(p, 97);
                               },
                               "C:\\a.mdf"}),
    [](const ::testing::TestParamInfo<NameCase>& param) { return param.param.name; });

struct FileNamePageCase {
    std::string name;
    std::u16string path;
    std::u16string logicalName;
    Protection protection;
    std::string expected;
};

void PrintTo(const FileNamePageCase& c, std::ostream* os) {
    *os << c.name;
}

class FileNamePageCases : public ::testing::TestWithParam<FileNamePageCase> {};

// Page 32 as the database server lays it out, protected and then restored as the analysis does.
TEST_P(FileNamePageCases, ReadsThePathAfterRestoringTornBits) {
    auto page = std::make_unique<Page>(fixtures::MakeFileNamePage(GetParam().path, GetParam().logicalName));
    fixtures::ProtectPage(*page, GetParam().protection, 1);
    ASSERT_TRUE(VerifyPage(*page));
    RestoreTornBits(*page);
    EXPECT_EQ(ReadDatabaseFileName(*page), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Generated, FileNamePageCases,
    ::testing::Values(FileNamePageCase{"Plain", u"C:\\Data\\Shop.MDF", u"Shop", Protection::kChecksum,
                                       "C:\\Data\\Shop.mdf"},
                      FileNamePageCase{"LogicalNameEndsMdf", u"C:\\App_Data\\MvcMusicStore.mdf",
                                       u"MvcMusicStore.mdf", Protection::kChecksum,
                                       "C:\\App_Data\\MvcMusicStore.mdf"},
                      FileNamePageCase{"LogicalNameEndsMdfTorn", u"C:\\App_Data\\Trip.Context.mdf",
                                       u"Trip.Context.mdf", Protection::kTornBits,
                                       "C:\\App_Data\\Trip.Context.mdf"},
                      FileNamePageCase{"CjkTorn", u"K:\\授課資料\\資料庫\\northwnd.mdf", u"Northwind",
                                       Protection::kTornBits, "K:\\授課資料\\資料庫\\northwnd.mdf"},
                      FileNamePageCase{"Cyrillic", u"C:\\Users\\Артём\\Database.mdf", u"Database",
                                       Protection::kChecksum, "C:\\Users\\Артём\\Database.mdf"},
                      FileNamePageCase{"Turkish", u"F:\\Yeni klasör\\Database1.mdf", u"Database1",
                                       Protection::kChecksum, "F:\\Yeni klasör\\Database1.mdf"}),
    [](const ::testing::TestParamInfo<FileNamePageCase>& param) { return param.param.name; });

} // namespace
} // namespace vorthal
