#include "scan/page_header.h"

namespace vorthal {
namespace {

constexpr std::uint16_t kPageBodySize = 8096; // page size less the header
constexpr std::uint16_t kPageBytes = 8192;
constexpr std::int32_t kAllocationObjectId = 99;

bool AllZero(const std::uint8_t* p, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (p[i] != 0) return false;
    return true;
}

bool PassesCommonTests(const PageHeader& h, std::uint16_t targetFileNumber) {
    return h.headerVersion() == 1 && h.fileNumber() == targetFileNumber && h.freeCount() <= kPageBodySize &&
           h.freeDataOffset() >= kPageHeaderSize && h.freeDataOffset() <= kPageBytes &&
           h.reservedCount() <= kPageBytes && h.ghostRecordCount() <= kPageBodySize &&
           AllZero(h.data() + 64, 32);
}

// Index id, previous page, minimum record length and next page: zero on pages 0 and 1.
bool LinksAreZero(const PageHeader& h) { return AllZero(h.data() + 6, 16); }

bool IsAllocationRootPage(const PageHeader& h, std::uint8_t pageType, std::int32_t pageNumber) {
    return h.pageType() == pageType && h.level() == 0 && LinksAreZero(h) && h.slotCount() == 1 &&
           h.objectId() == kAllocationObjectId && h.pageNumber() == pageNumber;
}

} // namespace

bool IsDataPage(const PageHeader& h, std::uint16_t targetFileNumber) {
    if (!PassesCommonTests(h, targetFileNumber)) return false;
    const std::uint8_t flags = h.typeFlags();
    return h.pageNumber() > 0 && h.slotCount() <= kPageBodySize && h.pageType() >= 1 && h.pageType() <= 19 &&
           (flags == 0 || flags == 1 || flags == 4) && (h.pageType() == kIndexPageType || h.level() == 0);
}

bool IsFileHeaderPage(const PageHeader& h, std::uint16_t targetFileNumber) {
    return PassesCommonTests(h, targetFileNumber) && IsAllocationRootPage(h, kFileHeaderPageType, 0) &&
           (h.flagBitsLow() == 0 || h.flagBitsLow() == 8);
}

bool IsFirstPfsPage(const PageHeader& h, std::uint16_t targetFileNumber) {
    return PassesCommonTests(h, targetFileNumber) && IsAllocationRootPage(h, kPfsPageType, 1);
}

bool IsNextPage(std::uint16_t fileNumber, std::int32_t expectedPageNumber, const PageHeader& h) {
    return IsDataPage(h, fileNumber) && h.pageNumber() == expectedPageNumber;
}

} // namespace vorthal
