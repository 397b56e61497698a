// A generated database file laid out as fragments on an in-memory disk, the way the scan
// would record them, for the builder and extraction tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scan/fragment_line.h"
#include "tests/assembly/memory_fragment_reader.h"
#include "tests/fixtures/database_builder.h"

namespace vorthal::fixtures {

class ChainDisk {
public:
    explicit ChainDisk(std::int32_t pages = 600, SectorNumber diskSectors = 40000)
        : reader(diskSectors), file_(BuildDatabaseFile(Spec(pages))) {}

    static DatabaseSpec Spec(std::int32_t pages) {
        DatabaseSpec spec;
        spec.pages = pages;
        spec.objects = {{.objectId = 500, .iamPage = 34, .firstPage = 40, .pageCount = pages - 40}};
        return spec;
    }

    const std::vector<std::uint8_t>& File() const { return file_; }
    std::span<const std::uint8_t> FilePages(std::int32_t begin, std::int32_t end) const {
        return std::span(file_).subspan(static_cast<std::size_t>(begin) * kPageSize,
                                        static_cast<std::size_t>(end - begin) * kPageSize);
    }

    // Pages begin .. end - 1 of the file, whole, at `start`; the row the scan records for them.
    FragmentNumbers Place(std::int32_t begin, std::int32_t end, SectorNumber start) {
        reader.Put(start, FilePages(begin, end));
        return Row(begin, end, start);
    }

    // Pages begin .. end - 1 at `start`, but the last page only with its first `headSectors`
    // sectors there; its tail lies just before `nextStart`, where the next fragment begins.
    FragmentNumbers PlaceSplit(std::int32_t begin, std::int32_t end, SectorNumber start, int headSectors,
                               SectorNumber nextStart) {
        const std::size_t head = static_cast<std::size_t>(end - 1 - begin) * kPageSize + static_cast<std::size_t>(headSectors) * kSectorSize;
        const std::span<const std::uint8_t> pages = FilePages(begin, end);
        reader.Put(start, pages.first(head));
        reader.Put(nextStart - (kSectorsPerPage - headSectors), pages.subspan(head));
        return Row(begin, end, start);
    }

    static FragmentNumbers Row(std::int32_t begin, std::int32_t end, SectorNumber start) {
        return {.number = 0, .startSector = start, .endSector = start + (end - begin) * kSectorsPerPage,
                .sizeKb = 8 * static_cast<std::int64_t>(end - begin), .beginPage = begin, .endPage = end};
    }

    MemoryFragmentReader reader;

private:
    std::vector<std::uint8_t> file_;
};

// A fresh folder per test under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("vorthal-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool IsZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

} // namespace vorthal::fixtures
