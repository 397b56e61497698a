#include "catalogue/text_cipher.h"

#include <cctype>
#include <optional>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace vorthal {
namespace {

struct KnownVector {
    std::string_view text;
    std::uint8_t startByte;
    std::string_view hex;
};

// Worked out by hand: s := ((s + b) mod 255) XOR key byte, key "VARDO" used cyclically.
// "A" from 00: (0 + 41) mod 255 = 41, XOR 'V' 56 = 17. The sixth "A" meets 'V' again:
// (01 + 41) = 42, XOR 56 = 14. "z" from F0: (F0 + 7A) mod 255 = 6B, XOR 56 = 3D.
TEST(TextCipherTest, EnciphersKnownVectors) {
    const KnownVector cases[] = {
        {"", 0xAB, "AB"},
        {"A", 0x00, "0017"},
        {"AAAAAA", 0x00, "001719080D0114"},
        {"z", 0xF0, "F03D"},
    };
    for (const KnownVector& c : cases) {
        EXPECT_EQ(EncipherText(c.text, kScanInfoKey, c.startByte), c.hex) << c.text;
        EXPECT_EQ(DecipherText(c.hex, kScanInfoKey), std::string(c.text)) << c.hex;
    }
}

TEST(TextCipherTest, OneByteTextComesBackWhateverTheStartByte) {
    for (unsigned start = 0; start < 256; ++start) {
        const std::string hex = EncipherText("A", kScanInfoKey, static_cast<std::uint8_t>(start));
        ASSERT_EQ(hex.size(), 4u);
        EXPECT_EQ(DecipherText(hex, kScanInfoKey), "A") << "start byte " << start;
    }
}

TEST(TextCipherTest, EveryByteFrom1To254ComesBackExactly) {
    std::string text;
    for (int byte = 1; byte <= 254; ++byte) text.push_back(static_cast<char>(byte));
    for (const std::string_view key : {kScanInfoKey, std::string_view("K"), std::string_view("\xff\x01")}) {
        for (const unsigned start : {0u, 1u, 128u, 254u, 255u}) {
            const std::string hex = EncipherText(text, key, static_cast<std::uint8_t>(start));
            ASSERT_EQ(hex.size(), 2 + 2 * text.size());
            EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << "capital digits only";
            EXPECT_EQ(DecipherText(hex, key), text) << "start byte " << start;
        }
    }
    EXPECT_EQ(DecipherText(EncipherText(text, kScanInfoKey), kScanInfoKey), text);
}

TEST(TextCipherTest, AByteZeroComesBackAs255) {
    const std::string hex = EncipherText(std::string_view("a\0b", 3), kScanInfoKey, 0x10);
    EXPECT_EQ(DecipherText(hex, kScanInfoKey), "a\xff" "b");
}

TEST(TextCipherTest, FragmentLineSurvivesWithDigitsOfEitherCase) {
    const std::string line = "3|800|960|80|471|481| |Y|";
    std::string hex = EncipherText(line, kScanInfoKey, 0xC7);
    EXPECT_EQ(DecipherText(hex, kScanInfoKey), line);
    for (char& digit : hex) digit = static_cast<char>(std::tolower(static_cast<unsigned char>(digit)));
    EXPECT_EQ(DecipherText(hex, kScanInfoKey), line);
}

TEST(TextCipherTest, RefusesTextThatIsNotWholeHexPairs) {
    for (const std::string_view bad : {"", "1", "001", "0017 ", "0G17", "00\x17", "0x17", "-1", "00 17", "0017\r\n"}) {
        EXPECT_EQ(DecipherText(bad, kScanInfoKey), std::nullopt) << '"' << bad << '"';
    }
}

TEST(TextCipherTest, DrawsTheStartByteAtRandom) {
    std::set<std::string> startPairs;
    for (int draw = 0; draw < 64; ++draw) startPairs.insert(EncipherText("A", kScanInfoKey).substr(0, 2));
    EXPECT_GT(startPairs.size(), 1u);
}

} // namespace
} // namespace vorthal
