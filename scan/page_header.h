// The first 96 bytes of a database page and the four recognition tests the scan applies to
// every candidate position. The tests are pure and allocate nothing: they run up to once per
// sector of a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/bytes.h"

namespace vorthal {

inline constexpr std::size_t kPageHeaderSize = 96;

// Page types that the system tells apart (byte 1 of the header).
inline constexpr std::uint8_t kDataPageType = 1;
inline constexpr std::uint8_t kIndexPageType = 2;
inline constexpr std::uint8_t kIamPageType = 10;
inline constexpr std::uint8_t kPfsPageType = 11;
inline constexpr std::uint8_t kFileHeaderPageType = 15;

// A view of the 96 header bytes; it does not own or copy them.
class PageHeader {
public:
    explicit PageHeader(std::span<const std::uint8_t, kPageHeaderSize> bytes) : bytes_(bytes.data()) {}
    // The header of the page (or sector) starting at `bytes`, which must hold at least 96 bytes.
    static PageHeader At(const std::uint8_t* bytes) {
        return PageHeader(std::span<const std::uint8_t, kPageHeaderSize>(bytes, kPageHeaderSize));
    }

    std::uint8_t headerVersion() const { return bytes_[0]; }
    std::uint8_t pageType() const { return bytes_[1]; }
    std::uint8_t typeFlags() const { return bytes_[2]; }
    std::uint8_t level() const { return bytes_[3]; }
    std::uint8_t flagBitsLow() const { return bytes_[4]; }
    std::uint8_t flagBitsHigh() const { return bytes_[5]; }
    std::uint16_t slotCount() const { return LoadLE16(bytes_ + 22); }
    std::int32_t objectId() const { return LoadLE32Signed(bytes_ + 24); }
    std::uint16_t freeCount() const { return LoadLE16(bytes_ + 28); }
    std::uint16_t freeDataOffset() const { return LoadLE16(bytes_ + 30); }
    std::int32_t pageNumber() const { return LoadLE32Signed(bytes_ + 32); }
    std::uint16_t fileNumber() const { return LoadLE16(bytes_ + 36); }
    std::uint16_t reservedCount() const { return LoadLE16(bytes_ + 38); }
    std::uint16_t ghostRecordCount() const { return LoadLE16(bytes_ + 58); }
    std::uint32_t tornBits() const { return LoadLE32(bytes_ + 60); }
    const std::uint8_t* data() const { return bytes_; }

private:
    const std::uint8_t* bytes_;
};

// An ordinary page of the target file with a page number of at least 1.
bool IsDataPage(const PageHeader& header, std::uint16_t targetFileNumber);
// Page 0, the file header page, of the target file.
bool IsFileHeaderPage(const PageHeader& header, std::uint16_t targetFileNumber);
// Page 1, the first page-free-space page, of the target file.
bool IsFirstPfsPage(const PageHeader& header, std::uint16_t targetFileNumber);
// A data page of `fileNumber` carrying exactly `expectedPageNumber`: the next page of a run.
bool IsNextPage(std::uint16_t fileNumber, std::int32_t expectedPageNumber, const PageHeader& header);

} // namespace vorthal
