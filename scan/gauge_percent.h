// The percentage that the progress gauge shows: part x 100 / whole, rounded to the nearest whole
// number with halves to the even neighbour.
#pragma once

#include <cstdint>

namespace vorthal {

// 0 when whole is not positive. part is expected between 0 and whole.
inline int RoundedPercent(std::int64_t part, std::int64_t whole) {
    if (whole <= 0) return 0;
    const std::int64_t scaled = part * 100;
    std::int64_t quotient = scaled / whole;
    const std::int64_t twiceRemainder = (scaled % whole) * 2;
    if (twiceRemainder > whole || (twiceRemainder == whole && quotient % 2 != 0)) ++quotient;
    return static_cast<int>(quotient);
}

// The smallest part at which RoundedPercent(part, whole) exceeds percent (whole > 0). The scan
// sets the gauge only there, instead of dividing at every position.
inline std::int64_t NextPercentPart(int percent, std::int64_t whole) {
    const std::int64_t twiceBoundary = (2 * std::int64_t{percent} + 1) * whole; // 200 x part at p + 0.5
    const std::int64_t part = twiceBoundary / 200;
    // Exactly half way rounds to the even neighbour: up when percent is odd.
    return twiceBoundary % 200 == 0 && percent % 2 != 0 ? part : part + 1;
}

} // namespace vorthal
