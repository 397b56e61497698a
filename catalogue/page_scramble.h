// The page transform of the fragment content file: every page is stored as 2048
// little-endian 32-bit words, each rotated right by one bit and XORed with the file key.
#pragma once

#include <cstdint>
#include <span>

#include "base/page_geometry.h"

namespace vorthal {

using PageSpan = std::span<std::uint8_t, kPageSize>;

// Each word w becomes (w rotated right by 1) XOR key, in place.
void ScramblePage(PageSpan page, std::uint32_t key);

// The inverse: each word w becomes (w XOR key) rotated left by 1, in place.
void UnscramblePage(PageSpan page, std::uint32_t key);

} // namespace vorthal
