// Sizes shared by every layer: sectors of 512 bytes, database pages of 8192 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorthal {

inline constexpr std::size_t kSectorSize = 512;
inline constexpr std::size_t kPageSize = 8192;
inline constexpr std::int64_t kSectorsPerPage = 16;

// Sector numbers and counts are signed 64-bit throughout: disks of terabytes exceed 32 bits.
using SectorNumber = std::int64_t;

} // namespace vorthal
