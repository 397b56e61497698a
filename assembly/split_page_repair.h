// The repair of a page that a cluster boundary split: with clusters smaller than a page, the
// head of a page can lie at the end of one fragment while its tail lies in the clusters just
// before the next fragment. The trial puts back, one cluster at a time from the end of the page,
// the bytes that lay in front of the next fragment, and keeps the first version that passes
// page verification. The builder repairs the joint page with it, and the second search repairs
// page 32 with it before reading the file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "analysis/page_interpretation.h"
#include "base/page_geometry.h"

namespace vorthal {

// The sectors read in front of a fragment's first sector (its prefix): one page less a sector.
inline constexpr std::int64_t kFragmentPrefixSectors = 15;
inline constexpr std::size_t kFragmentPrefixBytes = static_cast<std::size_t>(kFragmentPrefixSectors) * kSectorSize;

using FragmentPrefixBytes = std::span<const std::uint8_t, kFragmentPrefixBytes>;

// Versions the trial looks at: 16 / sectorsPerCluster rounded to the nearest integer, the page
// as read included. A cluster size of 0 or less gives no trial at all (0), never a division by
// zero; clusters of a page or more give the page as read only (1).
int SplitPageTries(std::int64_t sectorsPerCluster);

// Tries, for d = 0, 1, ... SplitPageTries - 1, the page with its last d clusters
// (d x sectorsPerCluster x 512 bytes) replaced by the last d clusters of `prefix`; d = 0 is the
// page as read. The first version that VerifyPage accepts stays in `page` and its d is the
// result. When none is accepted, or there is no trial (sectorsPerCluster of 0 or less), `page`
// is left exactly as it was given and the result is empty.
std::optional<int> RepairSplitPage(MutablePageBytes page, FragmentPrefixBytes prefix, std::int64_t sectorsPerCluster);

} // namespace vorthal
