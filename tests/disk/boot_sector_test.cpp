#include <gtest/gtest.h>

#include <cstring>

#include "disk/boot_sector.h"
#include "tests/fixtures/boot_sectors.h"
#include "tests/fixtures/disk_images.h"

namespace vorthal {
namespace {

TEST(BootSector, Fat32LayoutFromReservedSectorsAndTwoFats) {
    const auto sector = fixtures::Fat32BootSector(8, 32, 1000, 500000);
    const BootSectorLayout layout = ParseBootSectorBytes(sector);
    EXPECT_EQ(layout.fileSystemName, "FAT32");
    EXPECT_EQ(layout.sectorsPerCluster, 8);
    EXPECT_EQ(layout.fatReservedSectors, 32);
    EXPECT_EQ(layout.fatSectors, 1000);
    EXPECT_EQ(layout.dataStartSector, 2032);
}

TEST(BootSector, ReservedSectorsAboveSigned16BitsStayPositive) {
    const auto sector = fixtures::Fat32BootSector(8, 40000, 1000, 500000);
    EXPECT_EQ(ParseBootSectorBytes(sector).dataStartSector, 42000);
}

TEST(BootSector, NtfsLayoutStartsTheClusterAreaAtZero) {
    const auto sector = fixtures::NtfsBootSector(8, 786432, 1000000);
    const BootSectorLayout layout = ParseBootSectorBytes(sector);
    EXPECT_EQ(layout.fileSystemName, "NTFS");
    EXPECT_EQ(layout.sectorsPerCluster, 8);
    EXPECT_EQ(layout.mftCluster, 786432);
    EXPECT_EQ(layout.dataStartSector, 0);
}

TEST(BootSector, NtfsClustersAbove64KiBAreANegativePowerOfTwo) {
    auto sector = fixtures::NtfsBootSector(0xF4, 4, 1 << 24); // 2^12 sectors: 2 MiB clusters
    EXPECT_EQ(ParseBootSectorBytes(sector).sectorsPerCluster, 4096);
}

TEST(BootSector, NtfsSignatureWinsOverFat32) {
    auto sector = fixtures::Fat32BootSector(8, 32, 1000, 500000);
    std::memcpy(sector.data() + 3, "NTFS", 4);
    EXPECT_EQ(ParseBootSectorBytes(sector).fileSystemName, "NTFS");
}

TEST(BootSector, RandomBytesAreNotRecognised) {
    const auto sector = fixtures::PatternBytes(512, 7);
    const BootSectorLayout layout = ParseBootSectorBytes(sector);
    EXPECT_EQ(layout.fileSystemName, "不可识别");
    EXPECT_EQ(layout.dataStartSector, 0);
    EXPECT_EQ(layout.sectorsPerCluster, sector[13]);
    EXPECT_EQ(VolumeClusterRange(sector).clusterCount, 0);
    EXPECT_EQ(FileSystemReportedBytes(sector, 4096 * 512), 4096 * 512);
}

TEST(BootSector, Fat32ReportsItsClusterAreaOnly) {
    // 500,000 sectors, cluster area from 2032: 62,246 whole clusters of 8 sectors.
    const auto sector = fixtures::Fat32BootSector(8, 32, 1000, 500000);
    EXPECT_EQ(VolumeClusterRange(sector).firstCluster, 2);
    EXPECT_EQ(VolumeClusterRange(sector).clusterCount, 62246);
    EXPECT_EQ(FileSystemReportedBytes(sector, 500000LL * 512), 62246LL * 8 * 512);
}

TEST(BootSector, NtfsReportsTheWholeVolumeInClusters) {
    const auto sector = fixtures::NtfsBootSector(8, 4, 1000005);
    EXPECT_EQ(VolumeClusterRange(sector).clusterCount, 125000);
    EXPECT_EQ(FileSystemReportedBytes(sector, 1000006LL * 512), 125000LL * 8 * 512);
}

TEST(BootSector, ReportedSizeNeverExceedsTheDevice) {
    const auto fat = fixtures::Fat32BootSector(8, 32, 1000, 500000);
    EXPECT_EQ(FileSystemReportedBytes(fat, 10000LL * 512), (10000LL - 2032) * 512);
    EXPECT_EQ(FileSystemReportedBytes(fat, 1000LL * 512), 0);
    const auto ntfs = fixtures::NtfsBootSector(8, 4, 1LL << 40);
    EXPECT_EQ(FileSystemReportedBytes(ntfs, 1 << 20), 1 << 20);
}

} // namespace
} // namespace vorthal
