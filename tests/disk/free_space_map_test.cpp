#include <gtest/gtest.h>

#include "disk/free_space_map.h"
#include "disk/source_selection.h"
#include "tests/fixtures/boot_sectors.h"
#include "tests/fixtures/memory_sector_device.h"
#include "tests/fixtures/recording_observer.h"

namespace vorthal {
namespace {

using fixtures::MemoryDeviceOpener;

// A partition image in memory, chosen as the data source the way the operator chooses it.
class PartitionImage : public ::testing::Test {
  protected:
    void Choose(std::vector<std::uint8_t> bytes, std::set<SectorNumber> failing = {}) {
        opener.AddPath("part.img", {std::move(bytes), std::move(failing), 0});
        observer.answers = {true};
        ASSERT_TRUE(ChooseImageFile(selection, opener, "part.img"));
        observer.questions.clear();
    }
    bool Build() { return BuildFreeSpaceMap(map, {access, state, observer}, transferBuffer); }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : observer.messages)
            texts.push_back(message.text);
        return texts;
    }

    DataSourceState state;
    MemoryDeviceOpener opener;
    SectorAccess access{state, opener};
    SourceControls controls;
    fixtures::RecordingObserver observer;
    SourceSelection selection{state, access, controls, observer};
    FreeSpaceMap map;
    std::vector<std::uint8_t> transferBuffer = std::vector<std::uint8_t>(kTransferBufferBytes);
};

std::vector<std::uint8_t> Fat32Image(std::uint32_t fatSectors, SectorNumber sectors) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(sectors) * 512, 0);
    const auto boot = fixtures::Fat32BootSector(8, 32, fatSectors, static_cast<std::uint32_t>(sectors));
    std::copy(boot.begin(), boot.end(), bytes.begin());
    return bytes;
}

void SetFatEntry(std::vector<std::uint8_t>& image, std::size_t entry, std::uint32_t value) {
    StoreLE32(image.data() + 32 * 512 + entry * 4, value);
}

TEST_F(PartitionImage, Fat32MarksEveryNonzeroEntryInUse) {
    auto image = Fat32Image(2, 4000);
    const std::uint32_t entries[] = {0x0FFFFFF8, 0xFFFFFFFF, 0x0FFFFFFF, 4,
                                     0x0FFFFFFF, 0,          0xF0000000, 0x0FFFFFF7};
    for (std::size_t i = 0; i < std::size(entries); ++i)
        SetFatEntry(image, i, entries[i]);
    SetFatEntry(image, 255, 1); // the last entry of the FAT's second sector
    Choose(image);
    ASSERT_TRUE(Build());
    EXPECT_EQ(map.bytes().size(), 196608u);
    EXPECT_EQ(map.bytes()[0], 0b11011111);
    EXPECT_TRUE(map.IsBitSet(255));
    EXPECT_EQ(map.CountSetBits(0, 256), 8);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(PartitionImage, FatOf12289SectorsGivesTwoBlocks) {
    auto image = Fat32Image(12289, 32 + 2 * 12289 + 100);
    std::fill(image.begin() + 32 * 512, image.begin() + (32 + 12289) * 512, std::uint8_t{0xFF});
    Choose(image);
    ASSERT_TRUE(Build());
    ASSERT_EQ(map.bytes().size(), 393216u);
    EXPECT_EQ(map.CountSetBits(0, 196608 * 8), 196608 * 8);
    EXPECT_EQ(map.CountSetBits(196608 * 8, 196608 * 8), 128);
    EXPECT_TRUE(map.IsBitSet(196608 * 8 + 127));
    EXPECT_FALSE(map.IsBitSet(196608 * 8 + 128));
}

TEST_F(PartitionImage, UnreadableFatPieceNamesItsFirstSector) {
    Choose(Fat32Image(100, 4000), {50});
    EXPECT_FALSE(Build());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"读bitmap错误sec32"});
}

TEST_F(PartitionImage, FatReachingBeyondTheImageIsAnError) {
    Choose(Fat32Image(0x00800000, 4000));
    EXPECT_FALSE(Build());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"读bitmap错误sec32"});
}

// NTFS with one sector per cluster and the $MFT at cluster 16, so that $Bitmap's record lies
// at sectors 28 and 29; every sector holds its own number.
std::vector<std::uint8_t> NtfsImage(const std::vector<std::uint8_t>& record) {
    auto bytes = fixtures::NumberedSectors(400);
    const auto boot = fixtures::NtfsBootSector(1, 16, 400);
    std::copy(boot.begin(), boot.end(), bytes.begin());
    std::copy(record.begin(), record.end(), bytes.begin() + 28 * 512);
    return bytes;
}

// Runs: 2 clusters at 100, 1 cluster at 40 (a negative change of 60), 1 cluster at 300.
const std::vector<std::uint8_t> kRuns{0x21, 0x02, 0x64, 0x00, 0x11, 0x01, 0xC4, 0x21, 0x01, 0x04, 0x01, 0x00};

TEST_F(PartitionImage, NtfsMapIsTheBitmapFileInRunOrder) {
    Choose(NtfsImage(fixtures::FileRecordWithRuns(kRuns)));
    ASSERT_TRUE(Build());
    ASSERT_EQ(map.bytes().size(), 4u * 512);
    const SectorNumber expected[] = {100, 101, 40, 300};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fixtures::SectorNumberIn(map.bytes().data() + i * 512), expected[i]);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(PartitionImage, ABuildReplacesThePreviousMap) {
    Choose(NtfsImage(fixtures::FileRecordWithRuns(kRuns)));
    map.bytes().assign(100000, 0xFF);
    ASSERT_TRUE(Build());
    EXPECT_EQ(map.bytes().size(), 4u * 512);
}

struct BadRecordCase {
    const char* name;
    std::vector<std::uint8_t> (*record)();
    std::set<SectorNumber> failing;
    std::vector<std::string> messages;
};

std::vector<std::uint8_t> WithoutData() {
    auto record = fixtures::FileRecordWithRuns(kRuns);
    StoreLE32(record.data() + 0x38 + 0x60, 0x90);
    return record;
}
std::vector<std::uint8_t> ResidentData() {
    auto record = fixtures::FileRecordWithRuns(kRuns);
    record[0x38 + 0x60 + 8] = 0;
    return record;
}
std::vector<std::uint8_t> ZeroLengthAttribute() {
    auto record = fixtures::FileRecordWithRuns(kRuns);
    StoreLE32(record.data() + 0x38 + 4, 0);
    return record;
}
std::vector<std::uint8_t> RunsLeavingTheRecord() {
    auto record = fixtures::FileRecordWithRuns({0x11, 0x01, 0x64});
    StoreLE16(record.data() + 0x38 + 0x60 + 32, static_cast<std::uint16_t>(1024 - 0x38 - 0x60 - 2));
    record[1022] = 0x21;
    record[1023] = 0x01;
    return record;
}
std::vector<std::uint8_t> RunBeyondTheVolume() {
    return fixtures::FileRecordWithRuns({0x21, 0x02, 0xE8, 0x03, 0x00});
}
std::vector<std::uint8_t> RunLengthOverflowing() {
    return fixtures::FileRecordWithRuns({0x18, 0, 0, 0, 0, 0, 0, 0, 0x7F, 0x64, 0x00});
}
std::vector<std::uint8_t> RunGoingNegative() {
    return fixtures::FileRecordWithRuns({0x11, 0x01, 0x10, 0x11, 0x01, 0x80, 0x00});
}
std::vector<std::uint8_t> GoodRecord() {
    return fixtures::FileRecordWithRuns(kRuns);
}

class BadBitmapRecords : public PartitionImage, public ::testing::WithParamInterface<BadRecordCase> {};

TEST_P(BadBitmapRecords, FailWithTheirMessages) {
    const BadRecordCase& c = GetParam();
    Choose(NtfsImage(c.record()), c.failing);
    EXPECT_FALSE(Build());
    EXPECT_EQ(MessageTexts(), c.messages);
}

const std::vector<std::string> kNoBitmapFile{"取$bitmap文件失败"};

INSTANTIATE_TEST_SUITE_P(
    Cases, BadBitmapRecords,
    ::testing::Values(
        BadRecordCase{"NoDataAttribute", WithoutData, {}, kNoBitmapFile},
        BadRecordCase{"ResidentData", ResidentData, {}, kNoBitmapFile},
        BadRecordCase{"ZeroLengthAttribute", ZeroLengthAttribute, {}, kNoBitmapFile},
        BadRecordCase{"RunsLeaveTheRecord", RunsLeavingTheRecord, {}, kNoBitmapFile},
        BadRecordCase{"RunGoesNegative", RunGoingNegative, {}, kNoBitmapFile},
        BadRecordCase{"RecordUnreadable", GoodRecord, {29}, {"读bitmap错误1sec28", "取$bitmap文件失败"}},
        BadRecordCase{"RunSectorUnreadable",
                      GoodRecord,
                      {40},
                      {"512bitmaperror1sec40", "error,写bitmap内容失败", "取$bitmap文件失败"}},
        BadRecordCase{"RunBeyondTheVolume",
                      RunBeyondTheVolume,
                      {},
                      {"512bitmaperror1sec1000", "error,写bitmap内容失败", "取$bitmap文件失败"}},
        BadRecordCase{"RunLengthOverflows",
                      RunLengthOverflowing,
                      {},
                      {"512bitmaperror1sec100", "error,写bitmap内容失败", "取$bitmap文件失败"}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(PartitionImage, MftClusterBeyondAnyDiskIsAnUnreadableRecord) {
    auto bytes = NtfsImage(GoodRecord());
    StoreLE64(bytes.data() + 48, 0x7FFFFFFFFFFFFFF0);
    Choose(bytes);
    EXPECT_FALSE(Build());
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"读bitmap错误1sec9223372036854775804", "取$bitmap文件失败"}));
}

TEST_F(PartitionImage, OtherFileSystemsLeaveTheMapEmpty) {
    Choose(std::vector<std::uint8_t>(64 * 512, 0));
    map.bytes().assign(10, 0xFF);
    EXPECT_TRUE(Build());
    EXPECT_TRUE(map.bytes().empty());
}

struct TestCase {
    const char* label5;
    SectorNumber sector;
    std::int64_t sectorsPerCluster;
    bool allocated;
};

class ClusterTest : public ::testing::TestWithParam<TestCase> {};

TEST_P(ClusterTest, FindsTheBitOfTheSectorsCluster) {
    // Bits 0, 2 and the last bit of the map are set.
    FreeSpaceMap map;
    map.bytes() = {0b00000101, 0x00, 0x80};
    const TestCase& c = GetParam();
    EXPECT_EQ(map.IsClusterAllocated(c.sector, c.label5, c.sectorsPerCluster, 2032), c.allocated);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClusterTest,
                         ::testing::Values(TestCase{"FAT32", 2032, 8, true}, // cluster 2, the first
                                           TestCase{"FAT32", 2039, 8, true},
                                           TestCase{"FAT32", 2040, 8, false}, // cluster 3
                                           TestCase{"FAT32", 2031, 8, false}, // the FAT area has no cluster
                                           TestCase{"FAT32", 2032 + 21 * 8, 8, true},  // cluster 23, last bit
                                           TestCase{"FAT32", 2032 + 22 * 8, 8, false}, // beyond the map
                                           TestCase{"NTFS", 0, 8, true}, TestCase{"NTFS", 7, 8, true},
                                           TestCase{"NTFS", 8, 8, false}, TestCase{"NTFS", 23 * 8, 8, true},
                                           TestCase{"NTFS", 24 * 8, 8, false}, TestCase{"NTFS", 0, 0, false},
                                           TestCase{"", 0, 8, false}, TestCase{"不可识别", 0, 8, false}));

} // namespace
} // namespace vorthal
