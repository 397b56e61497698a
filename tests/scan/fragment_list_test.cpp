#include "scan/fragment_list.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorthal {
namespace {

// The list must always read back exactly what a plain vector of lines would hold, and its
// kept numbers must be those of its text.
void ExpectSameAs(const FragmentList& list, const std::vector<std::string>& model) {
    ASSERT_EQ(list.Count(), model.size());
    EXPECT_EQ(list.Empty(), model.empty());
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(list.Line(i), model[i]) << "line " << i;
        const std::optional<FragmentNumbers> numbers = ParseFragmentNumbers(model[i]);
        const FragmentNumbers* kept = list.Numbers(i);
        ASSERT_EQ(kept != nullptr, numbers.has_value()) << "line " << i;
        if (kept != nullptr) {
            EXPECT_EQ(*kept, *numbers) << "line " << i;
        }
    }
}

TEST(FragmentListTest, KeepsLinesInRecordingOrderWithDuplicates) {
    FragmentList list;
    EXPECT_TRUE(list.Empty());
    list.Append("1|800|880|40|100|105| |Y|");
    list.Append("2|0|640|320|0|40|D:\\DATA\\shop.mdf(1.95 GB)|Y|");
    list.Append("1|800|880|40|100|105| |Y|");
    ExpectSameAs(list, {"1|800|880|40|100|105| |Y|", "2|0|640|320|0|40|D:\\DATA\\shop.mdf(1.95 GB)|Y|",
                        "1|800|880|40|100|105| |Y|"});
    EXPECT_EQ(list.Field(1, kFieldMemo), "D:\\DATA\\shop.mdf(1.95 GB)");
    EXPECT_EQ(list.Numbers(0)->beginPage, 100);
    EXPECT_EQ(list.Numbers(1)->Pages(), 40);
}

TEST(FragmentListTest, StoresALineThatIsNotValidExactlyAndKeepsNoNumbersForIt) {
    FragmentList list;
    list.Append("garbage|x|");
    list.Append("1|800|880|40|100|105| |Y|");
    EXPECT_EQ(list.Line(0), "garbage|x|");
    EXPECT_EQ(list.Numbers(0), nullptr);
    ASSERT_NE(list.Numbers(1), nullptr);
    EXPECT_EQ(list.Numbers(1)->startSector, 800);
}

TEST(FragmentListTest, DeleteLastRemovesOnlyTheLastLine) {
    FragmentList list;
    list.DeleteLast(); // nothing to delete: no effect
    EXPECT_TRUE(list.Empty());
    list.Append("1|800|880|40|100|105| |Y|");
    list.Append("2|1600|1760|80|100|110| |Y|");
    list.DeleteLast();
    list.Append("2|1600|1920|160|100|120| |Y|"); // the scan's merge replaces the last line so
    ExpectSameAs(list, {"1|800|880|40|100|105| |Y|", "2|1600|1920|160|100|120| |Y|"});
}

TEST(FragmentListTest, ReplaceRewritesOneLineAndItsNumbers) {
    FragmentList list;
    list.Append("1|800|880|40|100|105| |Y|");
    list.Append("2|1600|1760|80|200|210| |Y|");
    list.Append("3|3200|3360|80|300|310| |Y|");
    list.Replace(1, "2|1600|1760|80|200|210| |N|");
    list.Replace(0, "1|800|880|40|100|105|a much longer memo than before|Y|");
    list.Replace(2, "3|3|3|8|3|3| |Y|");
    ExpectSameAs(list, {"1|800|880|40|100|105|a much longer memo than before|Y|", "2|1600|1760|80|200|210| |N|",
                        "3|3|3|8|3|3| |Y|"});
    list.Replace(2, "not a line");
    EXPECT_EQ(list.Numbers(2), nullptr);
    list.Clear();
    ExpectSameAs(list, {});
}

// Random operations against a plain vector: long runs of longer replacements make the list
// rewrite its buffer, deletes hit lines stored in place and lines moved to the end.
TEST(FragmentListTest, MatchesAPlainVectorUnderRandomOperations) {
    std::mt19937 random(20261211);
    FragmentList list;
    std::vector<std::string> model;
    auto randomLine = [&random]() {
        const auto begin = static_cast<std::int32_t>(random() % 1000);
        const auto pages = static_cast<std::int32_t>(1 + random() % 50);
        std::string memo(random() % 40, 'm');
        if (memo.empty()) memo = " ";
        return std::to_string(random() % 100) + "|" + std::to_string(begin * 16) + "|" +
               std::to_string((begin + pages) * 16) + "|" + std::to_string(pages * 8) + "|" + std::to_string(begin) +
               "|" + std::to_string(begin + pages) + "|" + memo + "|" + (random() % 2 ? "Y" : "N") + "|";
    };
    for (int step = 0; step < 20000; ++step) {
        const unsigned operation = static_cast<unsigned>(random() % 100);
        if (operation < 40 || model.empty()) {
            model.push_back(randomLine());
            list.Append(model.back());
        } else if (operation < 90) {
            const std::size_t index = random() % model.size();
            model[index] = randomLine();
            list.Replace(index, model[index]);
        } else if (operation < 99) {
            model.pop_back();
            list.DeleteLast();
        } else {
            model.clear();
            list.Clear();
        }
        if (step % 997 == 0) ExpectSameAs(list, model);
    }
    ExpectSameAs(list, model);
}

} // namespace
} // namespace vorthal
