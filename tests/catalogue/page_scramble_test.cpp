#include "catalogue/page_scramble.h"

#include <array>
#include <random>

#include <gtest/gtest.h>

namespace vorthal {
namespace {

using Page = std::array<std::uint8_t, kPageSize>;

// Words worked out by hand with key 0x12345678, bytes in file order (little-endian):
//   01 00 00 00 = 0x00000001 -> rotr 0x80000000 -> XOR 0x92345678 = 78 56 34 92
//   00 00 00 80 = 0x80000000 -> rotr 0x40000000 -> XOR 0x52345678 = 78 56 34 52
//   FF FF FF FF = 0xFFFFFFFF -> rotr 0xFFFFFFFF -> XOR 0xEDCBA987 = 87 A9 CB ED
//   02 01 00 00 = 0x00000102 -> rotr 0x00000081 -> XOR 0x123456F9 = F9 56 34 12
//   00 00 00 00 -> 0x12345678 = 78 56 34 12 (all the other words)
TEST(PageScrambleTest, ScramblesAKnownPage) {
    constexpr std::uint32_t kKey = 0x12345678;
    Page page{};
    const std::array<std::uint8_t, 16> head = {0x01, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0, 0};
    std::copy(head.begin(), head.end(), page.begin());
    const Page clear = page;

    ScramblePage(page, kKey);
    const std::array<std::uint8_t, 16> expectedHead = {0x78, 0x56, 0x34, 0x92, 0x78, 0x56, 0x34, 0x52,
                                                       0x87, 0xA9, 0xCB, 0xED, 0xF9, 0x56, 0x34, 0x12};
    EXPECT_TRUE(std::equal(expectedHead.begin(), expectedHead.end(), page.begin()));
    for (std::size_t offset = 16; offset < kPageSize; offset += 4) {
        ASSERT_EQ(page[offset], 0x78) << offset;
        ASSERT_EQ(page[offset + 1], 0x56) << offset;
        ASSERT_EQ(page[offset + 2], 0x34) << offset;
        ASSERT_EQ(page[offset + 3], 0x12) << offset;
    }

    UnscramblePage(page, kKey);
    EXPECT_EQ(page, clear);
}

TEST(PageScrambleTest, UnscrambleUndoesScrambleForAnyKey) {
    std::mt19937 random(42);
    Page clear{};
    for (std::uint8_t& byte : clear) byte = static_cast<std::uint8_t>(random());
    for (const std::uint32_t key : {0u, 1u, 2147483646u, 0xFFFFFFFFu, static_cast<std::uint32_t>(random())}) {
        Page page = clear;
        ScramblePage(page, key);
        EXPECT_NE(page, clear) << key;
        UnscramblePage(page, key);
        EXPECT_EQ(page, clear) << key;
    }
}

} // namespace
} // namespace vorthal
