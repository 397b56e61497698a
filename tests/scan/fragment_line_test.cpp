#include "scan/fragment_line.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace vorthal {
namespace {

constexpr std::string_view kExampleLine = "3|800|960|80|471|481| |Y|";

Fragment ExampleFragment() {
    Fragment fragment;
    fragment.number = 3;
    fragment.startSector = 800;
    fragment.endSector = 960;
    fragment.sizeKb = 80;
    fragment.beginPage = 471;
    fragment.endPage = 481;
    return fragment;
}

struct FieldCase {
    std::string_view text;
    int n;
    std::string_view expected;
};

TEST(FieldOfTest, YieldsOnlyPiecesClosedByASeparator) {
    const FieldCase cases[] = {
        {kExampleLine, 1, "3"},
        {kExampleLine, 2, "800"},
        {kExampleLine, 5, "471"},
        {kExampleLine, 7, " "},
        {kExampleLine, 8, "Y"},
        {kExampleLine, 9, ""},
        {"a|b", 1, "a"},
        {"a|b", 2, ""},
        {"abc", 1, ""},
        {"", 1, ""},
        {"|x|", 1, ""},
        {"|x|", 2, "x"},
        {"a||b|", 2, ""},
        {"a||b|", 3, "b"},
        {" 7 |", 1, " 7 "},
        {kExampleLine, 0, ""},
        {kExampleLine, -1, ""},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(FieldOf(c.text, c.n), c.expected) << "text \"" << c.text << "\" field " << c.n;
    }
}

TEST(ParseIntTextTest, AcceptsOnlyPlainDecimalInRange) {
    EXPECT_EQ(ParseInt32Text("0"), 0);
    EXPECT_EQ(ParseInt32Text("-1"), -1);
    EXPECT_EQ(ParseInt32Text("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32Text("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInt64Text("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(ParseInt64Text("2147483648"), 2147483648LL);
    for (const std::string_view bad : {"", "2147483648", "-2147483649", " 1", "1 ", "+1", "0x10", "1.0", "-"}) {
        EXPECT_EQ(ParseInt32Text(bad), std::nullopt) << '"' << bad << '"';
    }
    EXPECT_EQ(ParseInt64Text("9223372036854775808"), std::nullopt);
}

TEST(ReadFieldTest, ReadsOneNumberAndTellsAMissingFieldFromABadOne) {
    EXPECT_EQ(ReadInt64Field("3|6000000000|x|", kFieldStartSector), 6000000000LL);
    EXPECT_EQ(ReadInt32Field("3|6000000000|x|", kFieldFragmentNumber), 3);
    FragmentLineError error;
    EXPECT_EQ(ReadInt32Field("3|6000000000|x|", kFieldStartSector, &error), std::nullopt);
    EXPECT_EQ(error.Describe(), "field 2 (start sector) is not a 32-bit integer: \"6000000000\"");
    EXPECT_EQ(ReadInt64Field("3|6000000000|x", kFieldEndSector, &error), std::nullopt);
    EXPECT_EQ(error.Describe(), "field 3 (end sector) is missing");
}

TEST(PagesOfSizeKbTest, RoundsToTheNearestPage) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {0, 0}, {80, 10}, {3, 0}, {4, 1}, {11, 1}, {12, 2}, {-4, -1}, {-3, 0}, {17179869184LL, 2147483648LL}};
    for (const auto& [sizeKb, pages] : cases) EXPECT_EQ(PagesOfSizeKb(sizeKb), pages) << sizeKb;
}

TEST(BuildFragmentLineTest, WritesEveryFieldFollowedByABar) {
    EXPECT_EQ(BuildFragmentLine(ExampleFragment()), kExampleLine);

    Fragment hidden = ExampleFragment();
    hidden.visible = false;
    hidden.startSector = 6000000000LL; // past 32 bits
    hidden.endSector = 6000000160LL;
    hidden.beginPage = 0;
    hidden.endPage = 10;
    hidden.memo = "D:\\DATA\\shop.mdf(1.95 GB)";
    EXPECT_EQ(BuildFragmentLine(hidden), "3|6000000000|6000000160|80|0|10|D:\\DATA\\shop.mdf(1.95 GB)|N|");
}

TEST(BuildFragmentLineTest, KeepsBarsAndZeroBytesOfAMemoFromShiftingFields) {
    Fragment fragment = ExampleFragment();
    fragment.memo = std::string("a|b\0c", 5);
    const std::string line = BuildFragmentLine(fragment);
    EXPECT_EQ(line, "3|800|960|80|471|481|a?b?c|Y|");
    EXPECT_EQ(FieldOf(line, kFieldVisibility), "Y");
}

TEST(ParseFragmentLineTest, ReadsBackWhatWasBuilt) {
    const std::optional<Fragment> parsed = ParseFragmentLine(kExampleLine);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, ExampleFragment());
    EXPECT_EQ(parsed->Pages(), 10);

    Fragment wide = ExampleFragment();
    wide.number = INT32_MAX;
    wide.startSector = INT64_MAX - 16;
    wide.endSector = INT64_MAX;
    wide.sizeKb = 8;
    wide.beginPage = INT32_MIN;
    wide.endPage = INT32_MAX;
    wide.memo = "none(0.00 MB)";
    wide.visible = false;
    EXPECT_EQ(ParseFragmentLine(BuildFragmentLine(wide)), wide);
}

TEST(ParseFragmentLineTest, HidesOnlyAnNFlag) {
    const std::pair<std::string_view, bool> cases[] = {
        {"1|0|16|8|5|6| |Y|", true}, {"1|0|16|8|5|6| |N|", false}, {"1|0|16|8|5|6| | N |", false},
        {"1|0|16|8|5|6| |n|", true}, {"1|0|16|8|5|6| ||", true},  {"1|0|16|8|5|6| |NN|", true},
    };
    for (const auto& [line, visible] : cases) {
        const std::optional<Fragment> parsed = ParseFragmentLine(line);
        ASSERT_TRUE(parsed.has_value()) << line;
        EXPECT_EQ(parsed->visible, visible) << line;
    }
}

struct BadLine {
    std::string_view line;
    int field;
    FragmentLineError::Problem problem;
};

TEST(ParseFragmentLineTest, NamesTheFirstFieldThatFails) {
    using Problem = FragmentLineError::Problem;
    const BadLine cases[] = {
        {"", 1, Problem::kMissing},
        {"3|800|960|80|471|", 6, Problem::kMissing},
        {"3|800|960|80|471|481|", 7, Problem::kMissing},
        {"3|800|960|80|471|481| |", 8, Problem::kMissing},
        {"3|800|960|80|4x1|481| |Y|", 5, Problem::kNotAnInteger},
        {"3|800|960|80|2147483648|481| |Y|", 5, Problem::kNotAnInteger},
        {"3|800|960|80|471|-2147483649| |Y|", 6, Problem::kNotAnInteger},
        {"3|9223372036854775808|960|80|471|481| |Y|", 2, Problem::kNotAnInteger},
        {"3| 800|960|80|471|481| |Y|", 2, Problem::kNotAnInteger},
        {"+3|800|960|80|471|481| |Y|", 1, Problem::kNotAnInteger},
        {"3|800||80|471|481| |Y|", 3, Problem::kNotAnInteger},
        {"3|800|960|8.0|471|481| |Y|", 4, Problem::kNotAnInteger},
    };
    for (const BadLine& c : cases) {
        FragmentLineError error;
        EXPECT_EQ(ParseFragmentLine(c.line, &error), std::nullopt) << c.line;
        EXPECT_EQ(error.field, c.field) << c.line;
        EXPECT_EQ(error.problem, c.problem) << c.line;
    }
}

TEST(ParseFragmentLineTest, DescribesTheFault) {
    FragmentLineError error;
    ASSERT_FALSE(ParseFragmentLine("3|800|960|80|4x1|481| |Y|", &error));
    EXPECT_EQ(error.Describe(), "field 5 (begin page) is not a 32-bit integer: \"4x1\"");
    ASSERT_FALSE(ParseFragmentLine("3|80o|960|80|471|481| |Y|", &error));
    EXPECT_EQ(error.Describe(), "field 2 (start sector) is not a 64-bit integer: \"80o\"");
    ASSERT_FALSE(ParseFragmentLine("3|800|960|80|471|481| |", &error));
    EXPECT_EQ(error.Describe(), "field 8 (visibility flag) is missing");
}

TEST(ParseFragmentNumbersTest, IgnoresTheFieldsAfterTheSixth) {
    const std::optional<FragmentNumbers> numbers = ParseFragmentNumbers("3|800|960|80|471|481|");
    ASSERT_TRUE(numbers.has_value());
    EXPECT_EQ(*numbers, static_cast<const FragmentNumbers&>(ExampleFragment()));
}

} // namespace
} // namespace vorthal
