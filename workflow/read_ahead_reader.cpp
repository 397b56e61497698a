#include "workflow/read_ahead_reader.h"

#include <algorithm>

namespace vorthal {

bool ReadAheadReader::InWindow(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count) const {
    return windowValid_ && fragmentStart == windowFragment_ && offset >= windowOffset_ &&
           offset + count <= windowOffset_ + kWindowSectors;
}

bool ReadAheadReader::ReadFragmentSectors(SectorNumber fragmentStart, std::int64_t offset, std::int32_t count,
                                          std::uint8_t* destination) {
    const auto copyFromWindow = [&] {
        const auto first = window_.begin() + static_cast<std::ptrdiff_t>((offset - windowOffset_) * static_cast<std::int64_t>(kSectorSize));
        std::copy_n(first, static_cast<std::size_t>(count) * kSectorSize, destination);
        return true;
    };
    if (count <= 0 || offset < 0 || count >= kWindowSectors) return source_.ReadFragmentSectors(fragmentStart, offset, count, destination);
    if (InWindow(fragmentStart, offset, count)) return copyFromWindow();
    if (!(directFragmentKnown_ && directFragment_ == fragmentStart)) {
        window_.resize(static_cast<std::size_t>(kWindowSectors) * kSectorSize);
        windowValid_ = source_.ReadFragmentSectors(fragmentStart, offset, static_cast<std::int32_t>(kWindowSectors), window_.data());
        if (windowValid_) {
            windowFragment_ = fragmentStart;
            windowOffset_ = offset;
            return copyFromWindow();
        }
        // The window reaches past the fragment or the source, or holds a bad sector.
        directFragmentKnown_ = true;
        directFragment_ = fragmentStart;
    }
    return source_.ReadFragmentSectors(fragmentStart, offset, count, destination);
}

} // namespace vorthal
