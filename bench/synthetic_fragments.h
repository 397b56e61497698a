// Fragment lines for the list benchmarks: a scan's worth of fragments with random begin pages
// and sizes, every fiftieth one the start of a database file; the same lines on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorthal::bench {

inline constexpr std::int64_t kMillion = 1'000'000;

std::vector<std::string> SyntheticFragmentLines(std::int64_t count);

} // namespace vorthal::bench
