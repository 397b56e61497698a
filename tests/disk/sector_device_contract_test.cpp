// One contract, every SectorDevice: an image file, a block device (a loop device over the same
// bytes, where the machine allows it) and the in-memory stand-in of the tests.
#include <gtest/gtest.h>

#include <memory>

#include "disk/file_sector_device.h"
#include "tests/fixtures/disk_images.h"
#include "tests/fixtures/memory_sector_device.h"

namespace vorthal {
namespace {

using fixtures::NumberedSectors;
using fixtures::SectorNumberIn;

constexpr SectorNumber kSectors = 2048; // 1 MiB, a size every loop device takes

struct FileDevice {
    static constexpr bool kNeedsLoop = false;
    fixtures::TempDir dir;
    std::unique_ptr<SectorDevice> Make(const std::vector<std::uint8_t>& bytes, std::string*) {
        fixtures::WriteBytes(dir / "image.img", bytes);
        return FileSectorDevice::Open((dir / "image.img").string());
    }
};

struct BlockDevice {
    fixtures::TempDir dir;
    std::unique_ptr<fixtures::LoopDevice> loop;
    std::unique_ptr<SectorDevice> Make(const std::vector<std::uint8_t>& bytes, std::string* skipReason) {
        fixtures::WriteBytes(dir / "image.img", bytes);
        loop = std::make_unique<fixtures::LoopDevice>(dir / "image.img");
        if (loop->device().empty()) {
            *skipReason = loop->reason();
            return nullptr;
        }
        return FileSectorDevice::Open(loop->device());
    }
};

struct MemoryDevice {
    std::unique_ptr<SectorDevice> Make(const std::vector<std::uint8_t>& bytes, std::string*) {
        return std::make_unique<fixtures::MemorySectorDevice>(bytes);
    }
};

template <typename Maker> class SectorDeviceContract : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string skipReason;
        device = maker.Make(NumberedSectors(kSectors), &skipReason);
        if (!skipReason.empty())
            GTEST_SKIP() << skipReason;
        ASSERT_NE(device, nullptr);
    }
    Maker maker;
    std::unique_ptr<SectorDevice> device;
};

using Makers = ::testing::Types<FileDevice, BlockDevice, MemoryDevice>;
TYPED_TEST_SUITE(SectorDeviceContract, Makers);

TYPED_TEST(SectorDeviceContract, TellsItsSize) {
    EXPECT_EQ(this->device->SizeBytes(), kSectors * 512);
}

TYPED_TEST(SectorDeviceContract, ReadsTheBytesAtAnyOffset) {
    std::vector<std::uint8_t> buffer(3 * 512);
    ASSERT_EQ(this->device->ReadAt(1000 * 512, buffer), 3 * 512);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SectorNumberIn(buffer.data() + i * 512), 1000 + i);
}

TYPED_TEST(SectorDeviceContract, DeliversOnlyUpToTheEndAndLeavesTheRestUntouched) {
    std::vector<std::uint8_t> buffer(4 * 512, 0xEE);
    EXPECT_EQ(this->device->ReadAt((kSectors - 1) * 512, buffer), 512);
    EXPECT_EQ(SectorNumberIn(buffer.data()), kSectors - 1);
    EXPECT_EQ(buffer[512], 0xEE);
    EXPECT_EQ(buffer.back(), 0xEE);
    EXPECT_EQ(this->device->ReadAt(kSectors * 512, buffer), 0);
}

TEST(FileSectorDevice, MissingPathOpensNothingAndSaysWhy) {
    std::string why;
    EXPECT_EQ(FileSectorDevice::Open("/nonexistent/vorthal/image.img", &why), nullptr);
    EXPECT_FALSE(why.empty());
}

TEST(FileSectorDevice, FilesReportNoGeometry) {
    FileDevice maker;
    auto device = maker.Make(NumberedSectors(4), nullptr);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->ReportedSectorSize(), 0u);
}

TEST(FileSectorDevice, BlockDevicesReportTheirSectorSize) {
    BlockDevice maker;
    std::string skipReason;
    auto device = maker.Make(NumberedSectors(kSectors), &skipReason);
    if (!skipReason.empty())
        GTEST_SKIP() << skipReason;
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->ReportedSectorSize(), 512u);
}

} // namespace
} // namespace vorthal
