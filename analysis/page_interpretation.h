// What the analysis reads out of one database page held in memory: whether the page is
// intact, the page with its torn-page marks undone, the file size in the file header page
// (page 0) and the file's path in page 32. None of these routines reads the disk; callers
// pass the page they read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/page_geometry.h"

namespace vorthal {

using PageBytes = std::span<const std::uint8_t, kPageSize>;
using MutablePageBytes = std::span<std::uint8_t, kPageSize>;

// Page verification in force: the low four bits of byte 5 (high byte of the flag word).
inline constexpr std::size_t kVerificationFlagOffset = 5;
inline constexpr std::uint8_t kTornPageVerification = 1;
inline constexpr std::uint8_t kChecksumVerification = 2;
// Torn bits or page checksum, unsigned 32-bit.
inline constexpr std::size_t kTornBitsOffset = 60;

// The page checksum as the database server computes it: the XOR of every 32-bit word but the
// stored one at offset 60, each rotated left by 15 less its sector number.
std::uint32_t PageChecksum(PageBytes page);

// True for an all-zero page, and for a page whose torn bits or checksum (whichever its flag
// selects) match its contents. A page without page verification is never reported intact.
bool VerifyPage(PageBytes page);

// Puts back the low two bits of the last byte of sectors 1 to 15 that torn-page detection
// saved in the torn-bit field. Pages not marked for torn-page detection stay unchanged.
void RestoreTornBits(MutablePageBytes page);

// Copies page bytes offset .. offset + destination.size() - 1 into destination. A range
// reaching past the page copies nothing and yields false.
bool ReadPageBytes(PageBytes page, std::size_t offset, std::span<std::uint8_t> destination);

// The row offset stored in slot `slot` (0 at offset 8190, 1 at 8188, ...), as a signed 16-bit
// number; nothing for a slot outside the page.
std::optional<std::int16_t> SlotOffset(PageBytes page, int slot);

// The database file's size in pages from its file header page (page 0, torn bits restored):
// the signed 32-bit number in front of the first four FF bytes at or after the row 0 offset.
// Nothing when there is no such number on the page.
std::optional<std::int32_t> ReadDatabaseFileSize(PageBytes page);

// The database file's path from page 32 (torn bits restored), as UTF-8 text ending ".mdf":
// the UTF-16LE text between a run of two blanks and ".mdf". Nothing when the page holds no
// such text.
std::optional<std::string> ReadDatabaseFileName(PageBytes page);

} // namespace vorthal
