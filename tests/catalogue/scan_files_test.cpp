// The scan info file and the fragment content file: a pair built here byte by byte is read as
// the formats say, what the session writes reads back the same, and files that do not fit are
// refused without touching what the operator had.
#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "catalogue/content_file.h"
#include "catalogue/scan_info_file.h"
#include "scan/record_fragment.h"
#include "tests/fixtures/disk_images.h"
#include "tests/workflow/session_fixture.h"

namespace vorthal {
namespace {

using fixtures::RecordingScanObserver;
using fixtures::SessionOver;
using fixtures::SyntheticImage;
using fixtures::TempDir;

// The scan info cipher written out on its own: start byte, then s := ((s + b) mod 255) XOR k.
std::string HandEnciphered(const std::string& text, std::uint8_t start) {
    static const char* const kDigits = "0123456789ABCDEF";
    const std::string key = "VARDO";
    std::string hex;
    unsigned s = start;
    auto put = [&](unsigned value) {
        hex += kDigits[value >> 4];
        hex += kDigits[value & 15];
    };
    put(s);
    for (std::size_t i = 0; i < text.size(); ++i) {
        s = ((s + static_cast<std::uint8_t>(text[i])) % 255) ^ static_cast<std::uint8_t>(key[i % key.size()]);
        put(s);
    }
    return hex;
}

std::vector<std::uint8_t> SectorsOf(std::uint8_t fill, std::size_t sectors) {
    return std::vector<std::uint8_t>(sectors * kSectorSize, fill);
}

// A page whose 32-bit words count up from `seed`, and the same page as the content file holds it.
std::vector<std::uint8_t> CountingPage(std::uint32_t seed) {
    std::vector<std::uint8_t> page(kPageSize);
    for (std::size_t w = 0; w < kPageSize / 4; ++w) StoreLE32(page.data() + 4 * w, seed + static_cast<std::uint32_t>(w));
    return page;
}
std::vector<std::uint8_t> HandScrambled(std::vector<std::uint8_t> page, std::uint32_t key) {
    for (std::size_t at = 0; at < page.size(); at += 4) StoreLE32(page.data() + at, std::rotr(LoadLE32(page.data() + at), 1) ^ key);
    return page;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class HandBuiltPair : public ::testing::Test {
protected:
    static constexpr std::uint32_t kKey = 0x12345678;
    const std::string line1 = "1|20|52|16|7|9| |Y|";
    const std::string line2 = "2|100|116|8|0|1|D:\\a.mdf(0.02 MB)|N|";

    void SetUp() override {
        WriteText(dir / "scan.info", HandEnciphered(line1, 0x3C) + "\r\n" + HandEnciphered(line2, 0xF0) + "\r\n");
        std::vector<std::uint8_t> content;
        Append(content, SectorsOf(0xA1, 15));
        Append(content, HandScrambled(CountingPage(1000), kKey));
        Append(content, HandScrambled(CountingPage(2000), kKey));
        Append(content, SectorsOf(0xB2, 15));
        Append(content, HandScrambled(CountingPage(3000), kKey));
        std::uint8_t trailer[6];
        StoreLE32(trailer, std::rotr(kKey, 3));
        StoreLE16(trailer + 4, 8);
        content.insert(content.end(), trailer, trailer + 6);
        fixtures::WriteBytes(dir / "spcontent", content);
    }

    TempDir dir;
    std::unique_ptr<Session> session = SessionOver(SyntheticImage(64).bytes());
};

TEST_F(HandBuiltPair, ReadsBackTheLinesAndServesPagesInClearAndPrefixesUnchanged) {
    ASSERT_FALSE(session->OpenScanInfo(dir / "scan.info"));
    ASSERT_EQ(session->fragments.Count(), 2u);
    EXPECT_EQ(session->fragments.Line(0), line1);
    EXPECT_EQ(session->fragments.Line(1), line2);
    EXPECT_EQ(session->pageOrderIndex.Count(), 2u);

    ASSERT_FALSE(session->OpenContentFile(dir / "spcontent"));
    EXPECT_TRUE(session->ContentFileMode());
    EXPECT_EQ(session->contentFile.Key(), kKey);
    EXPECT_EQ(session->contentFile.SavedSectorsPerCluster(), 8);

    std::vector<std::uint8_t> page(kPageSize);
    ASSERT_TRUE(session->ReadFragmentSectors(100, 0, 16, page.data()));
    EXPECT_EQ(page, CountingPage(3000));
    ASSERT_TRUE(session->ReadFragmentSectors(20, 16, 16, page.data()));
    EXPECT_EQ(page, CountingPage(2000));
    std::vector<std::uint8_t> prefix(15 * kSectorSize);
    ASSERT_TRUE(session->ReadFragmentSectors(100, -15, 15, prefix.data()));
    EXPECT_EQ(prefix, SectorsOf(0xB2, 15));
    EXPECT_FALSE(session->ReadFragmentSectors(100, 16, 16, page.data())) << "past the end of the file";
    EXPECT_FALSE(session->ReadFragmentSectors(21, 0, 16, page.data())) << "no fragment starts there";
}

TEST_F(HandBuiltPair, WritesTheSameScanInfoBytesBackInCapitalsWithCrLf) {
    ASSERT_FALSE(session->OpenScanInfo(dir / "scan.info"));
    ASSERT_FALSE(session->SaveScanInfo(dir / "again.info"));
    const std::vector<std::uint8_t> written = fixtures::ReadBytes(dir / "again.info");
    const std::string text(written.begin(), written.end());
    // The start bytes are random; the length, the line ends and a reread are not.
    EXPECT_EQ(text.size(), (2 + 2 * line1.size() + 2) + (2 + 2 * line2.size() + 2));
    EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n"));
    FragmentList reread;
    ASSERT_FALSE(OpenScanInfo(dir / "again.info", reread));
    EXPECT_EQ(reread.Line(0), line1);
    EXPECT_EQ(reread.Line(1), line2);
}

TEST_F(HandBuiltPair, AnInvalidLineIsReportedByNumberAndTheListStaysAsItWas) {
    session->fragments.Append("7|0|16|8|3|4| |Y|");
    WriteText(dir / "bad.info", HandEnciphered(line1, 1) + "\r\n" + HandEnciphered(line2, 2) + "\r\nXYZ\r\n");
    const std::optional<ScanInfoError> error = session->OpenScanInfo(dir / "bad.info");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->lineNumber, 3u);
    EXPECT_EQ(error->Describe(), "line 3: not valid hexadecimal text");
    ASSERT_EQ(session->fragments.Count(), 1u);
    EXPECT_EQ(session->fragments.Line(0), "7|0|16|8|3|4| |Y|");

    WriteText(dir / "notalist.info", HandEnciphered("1|x|16|8|3|4| |Y|", 9) + "\r\n");
    const std::optional<ScanInfoError> fieldError = session->OpenScanInfo(dir / "notalist.info");
    ASSERT_TRUE(fieldError);
    EXPECT_EQ(fieldError->lineNumber, 1u);
    EXPECT_NE(fieldError->detail.find("field 2"), std::string::npos) << fieldError->detail;
}

TEST_F(HandBuiltPair, AContentFileThatDoesNotFitTheFragmentsIsRefusedAndTheOpenOneStays) {
    ASSERT_FALSE(session->OpenScanInfo(dir / "scan.info"));
    ASSERT_FALSE(session->OpenContentFile(dir / "spcontent"));

    std::vector<std::uint8_t> shorter = fixtures::ReadBytes(dir / "spcontent");
    shorter.erase(shorter.begin(), shorter.begin() + 512);
    fixtures::WriteBytes(dir / "shorter", shorter);
    const std::optional<std::string> sizeError = session->OpenContentFile(dir / "shorter");
    ASSERT_TRUE(sizeError);
    EXPECT_NE(sizeError->find("does not belong"), std::string::npos) << *sizeError;

    fixtures::WriteBytes(dir / "stub", {1, 2, 3});
    EXPECT_TRUE(session->OpenContentFile(dir / "stub"));
    EXPECT_TRUE(session->OpenContentFile(dir / "missing"));

    EXPECT_EQ(session->contentFile.Key(), kKey);
    std::vector<std::uint8_t> page(kPageSize);
    ASSERT_TRUE(session->ReadFragmentSectors(20, 0, 16, page.data()));
    EXPECT_EQ(page, CountingPage(1000));
}

TEST(ContentFile, TheFirstLineWithTheStartSectorAnswersAndAppendedLinesAreFound) {
    TempDir dir;
    SyntheticImage image(512);
    for (SectorNumber s = 0; s < 512; ++s) image.At(s)[0] = static_cast<std::uint8_t>(s);
    auto session = SessionOver(image.bytes());
    session->fragments.Append("1|64|80|8|5|6| |Y|");
    session->fragments.Append("2|64|96|16|9|11| |Y|");
    fixtures::RecordingObserver observer;
    ASSERT_TRUE(session->SaveContentFile(dir / "c", observer));
    EXPECT_EQ(observer.messages.back().text, kSuccessMessage);
    ASSERT_FALSE(session->OpenContentFile(dir / "c"));

    std::vector<std::uint8_t> page(kPageSize);
    ASSERT_TRUE(session->ReadFragmentSectors(64, 0, 16, page.data()));
    EXPECT_EQ(page[0], 64);
    // A later scan appends lines; they are looked up too (and lie beyond this file's data).
    session->fragments.Append("3|200|216|8|1|2| |Y|");
    EXPECT_FALSE(session->ReadFragmentSectors(200, 0, 16, page.data()));
}

TEST(ContentFile, SavingTheFragmentsOfAScanReadsBackTheSourcePages) {
    TempDir dir;
    SyntheticImage image(4096);
    image.PutRun(8, 40, 3); // its prefix reaches before sector 0
    image.PutRun(1600, 100, 4);
    for (SectorNumber s = 0; s < 4096; ++s) image.At(s)[200] = static_cast<std::uint8_t>(s * 3);
    auto session = SessionOver(image.bytes());
    RecordingScanObserver scanObserver;
    ASSERT_EQ(fixtures::Scan(*session, fixtures::WholeRange(*session), scanObserver), ScanEnd::kCompleted);
    ASSERT_EQ(session->fragments.Count(), 2u);
    fixtures::RecordingObserver observer;
    ASSERT_TRUE(session->SaveContentFile(dir / "c", observer));
    ASSERT_FALSE(session->SaveScanInfo(dir / "s"));
    EXPECT_EQ(std::filesystem::file_size(dir / "c"), static_cast<std::uintmax_t>(2 * 7680 + 7 * 8192 + 6));
    EXPECT_EQ(observer.gauge, (std::vector<int>{0, 100}));

    auto reopened = SessionOver(image.bytes());
    ASSERT_FALSE(reopened->OpenScanInfo(dir / "s"));
    ASSERT_FALSE(reopened->OpenContentFile(dir / "c"));
    EXPECT_EQ(reopened->contentFile.SavedSectorsPerCluster(), 8);
    std::vector<std::uint8_t> fromFile(kPageSize);
    std::vector<std::uint8_t> fromSource(kPageSize);
    for (const SectorNumber start : {SectorNumber{8}, SectorNumber{1600}}) {
        for (std::int64_t offset : {0, 16, 32}) {
            ASSERT_TRUE(reopened->ReadFragmentSectors(start, offset, 16, fromFile.data()));
            ASSERT_TRUE(session->ReadFragmentSectors(start, offset, 16, fromSource.data()));
            EXPECT_EQ(fromFile, fromSource) << start << "+" << offset;
        }
    }
    std::vector<std::uint8_t> prefix(15 * kSectorSize);
    ASSERT_TRUE(reopened->ReadFragmentSectors(8, -15, 15, prefix.data()));
    EXPECT_EQ(std::vector<std::uint8_t>(prefix.begin(), prefix.begin() + 7 * 512), std::vector<std::uint8_t>(7 * 512, 0));
    EXPECT_EQ(prefix[7 * 512 + 200], 0) << "sector 0";
    EXPECT_EQ(prefix[8 * 512 + 200], 3) << "sector 1";
}

TEST(ContentFile, AnEmptyListSavesOnlyTheTrailer) {
    TempDir dir;
    auto session = SessionOver(SyntheticImage(64).bytes());
    fixtures::RecordingObserver observer;
    ASSERT_TRUE(session->SaveContentFile(dir / "c", observer));
    ASSERT_FALSE(session->SaveScanInfo(dir / "s"));
    EXPECT_EQ(std::filesystem::file_size(dir / "c"), 6u);
    EXPECT_EQ(std::filesystem::file_size(dir / "s"), 0u);
}

TEST(ContentFile, AnUnreadableSectorEndsTheSaveWithReadDiskError) {
    TempDir dir;
    auto session = SessionOver(SyntheticImage(512).bytes(), {100});
    session->fragments.Append("1|64|112|24|5|8| |Y|");
    fixtures::RecordingObserver observer;
    EXPECT_FALSE(session->SaveContentFile(dir / "c", observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, kReadDiskErrorMessage);
    EXPECT_FALSE(session->SaveContentFile(dir / "no" / "such" / "folder", observer));
    EXPECT_EQ(observer.messages.back().text, kCannotCreateFileMessage);
}

} // namespace
} // namespace vorthal
