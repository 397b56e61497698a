// Reads served from a window read ahead give the bytes and the failures of the source itself.
#include <algorithm>
#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "tests/assembly/memory_fragment_reader.h"
#include "workflow/read_ahead_reader.h"

namespace vorthal {
namespace {

class ReadAheadReaderTest : public ::testing::Test {
protected:
    ReadAheadReaderTest() : source(6000) {
        std::vector<std::uint8_t> bytes(6000 * kSectorSize);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / kSectorSize);
        source.Put(0, bytes);
    }
    // The same request through the read-ahead reader and straight from the source.
    void ExpectSameAsSource(SectorNumber start, std::int64_t offset, std::int32_t count) {
        std::vector<std::uint8_t> ahead(static_cast<std::size_t>(count) * kSectorSize, 0);
        std::vector<std::uint8_t> direct(ahead.size(), 0);
        const int readsBefore = source.reads;
        const bool aheadRead = reader.ReadFragmentSectors(start, offset, count, ahead.data());
        readsThroughReader += source.reads - readsBefore;
        const bool directRead = source.ReadFragmentSectors(start, offset, count, direct.data());
        ASSERT_EQ(aheadRead, directRead) << start << "+" << offset;
        if (directRead) {
            EXPECT_EQ(ahead, direct) << start << "+" << offset;
        }
    }

    fixtures::MemoryFragmentReader source;
    ReadAheadReader reader{source};
    int readsThroughReader = 0;
};

TEST_F(ReadAheadReaderTest, PagesOfAFragmentComeFromFewReadsWithTheSameBytes) {
    for (std::int64_t page = 0; page < 200; ++page) ExpectSameAsSource(100, page * 16, 16);
    ExpectSameAsSource(100, -15, 15);   // a prefix is read as asked
    ExpectSameAsSource(3000, 0, 16);    // another fragment
    ExpectSameAsSource(100, 16, 16);    // back to the first
    EXPECT_LE(readsThroughReader, 8); // 204 requests, windows of 128 pages
}

TEST_F(ReadAheadReaderTest, BadSectorOrTheSourceEndFailOnlyThePagesTheyTouch) {
    source.FailSector(100 + 40 * 16 + 3);
    for (std::int64_t page = 0; page < 60; ++page) ExpectSameAsSource(100, page * 16, 16);
    for (std::int64_t page = 0; page < 200; ++page) ExpectSameAsSource(5000, page * 16, 16); // runs past the end
}

} // namespace
} // namespace vorthal
