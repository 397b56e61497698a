#include "analysis/page_map.h"

#include <algorithm>
#include <new>
#include <optional>

#include "analysis/fragment_page.h"
#include "analysis/page_interpretation.h"
#include "base/bytes.h"
#include "scan/page_header.h"

namespace vorthal {
namespace {

constexpr std::int32_t kPagesPerPfsPage = 8088;
// PFS bytes in the first 4,096 bytes of a PFS page whose row starts at offset 100.
constexpr std::int64_t kPfsBytesInFirstHalf = 3996;
constexpr std::uint8_t kPfsAllocatedBit = 0x40;
constexpr std::uint8_t kPfsIamPageBit = 0x10;

// Rows the analysis reads lie between the page header and the last slots.
constexpr std::int64_t kFirstRowOffset = 96;
constexpr std::int64_t kLastRowOffset = 8095;
constexpr std::int64_t kRowPayloadOffset = 4;
constexpr std::int64_t kIamFirstPageOffset = 40;
constexpr std::int64_t kIamSinglePageOffset = 46;
constexpr std::int64_t kIamSinglePageSlots = 8;
constexpr std::int64_t kIamSinglePageSlotBytes = 6;
constexpr std::int64_t kPagesPerExtent = 8;

constexpr std::size_t kPreviousPageOffset = 8;
constexpr std::size_t kNextPageOffset = 16;

constexpr std::int64_t kPageBytes = static_cast<std::int64_t>(kPageSize);

constexpr const char* kSlotClaimConflict = "erra";
constexpr const char* kExtentClaimConflict = "errb";
constexpr const char* kLinkConflict = "errc";

bool IsAllocationOrChainType(std::uint8_t type) {
    return type == kDataPageType || type == kIndexPageType || type == kIamPageType || type == kPfsPageType;
}

// Steps every learning routine shares: only version-1 pages of the four types, not pages the
// PFS marks free, and before the page's PFS page has been seen only PFS pages.
bool MayLearnFrom(const PageMap& map, const PageHeader& header, std::int64_t page) {
    if (header.headerVersion() != 1 || !IsAllocationOrChainType(header.pageType())) return false;
    const PageMapEntry entry = map.At(page);
    if (entry.allocation == kPageFree) return false;
    return !(entry.allocation == kNotLearned && header.pageType() != kPfsPageType);
}

// A row offset from a slot, when it lies where rows can lie.
std::optional<std::int64_t> RowOffset(const PageBuffer& page, int slot) {
    const std::int64_t offset = *SlotOffset(page, slot);
    if (offset < kFirstRowOffset || offset > kLastRowOffset) return std::nullopt;
    return offset;
}

// The payload bytes of the row at `rowOffset` that lie inside the page: the row length says
// length - 4, but a damaged length never reaches past the page.
std::int64_t PayloadBytes(const PageBuffer& page, std::int64_t rowOffset) {
    const std::int64_t length = LoadLE16Signed(page.data() + rowOffset + 2);
    return std::clamp<std::int64_t>(length - kRowPayloadOffset, 0, kPageBytes - rowOffset - kRowPayloadOffset);
}

std::int32_t Int32At(const PageBuffer& page, std::int64_t offset) {
    return LoadLE32Signed(page.data() + offset);
}

void TakePfsByte(PageMap& map, std::int64_t page, std::uint8_t pfsByte) {
    PageMapEntry* entry = map.Find(page);
    if (entry == nullptr) return;
    if (pfsByte & kPfsAllocatedBit) {
        entry->allocation = kPageAllocated;
        if (pfsByte & kPfsIamPageBit) entry->pageKind = kIamPageKind;
    } else {
        entry->allocation = kPageFree;
    }
}

// The PFS bytes of row 0 at `rowOffset`, at most `limit` of them. The first PFS page (page 1)
// describes pages from 0 on, every other one the pages from its own number on.
void TakePfsRow(PageMap& map, const PageBuffer& page, std::int64_t rowOffset, std::int64_t limit) {
    const std::int32_t ownNumber = PageHeader::At(page.data()).pageNumber();
    const std::int64_t firstDescribed = ownNumber == 1 ? 0 : ownNumber;
    const std::int64_t count = std::min(PayloadBytes(page, rowOffset), limit);
    const std::uint8_t* bytes = page.data() + rowOffset + kRowPayloadOffset;
    for (std::int64_t j = 0; j < count; ++j) TakePfsByte(map, firstDescribed + j, bytes[j]);
}

void SetOwnAllocationPageOwner(PageMap& map, std::int64_t page, std::int32_t owner) {
    if (PageMapEntry* entry = map.Find(page)) {
        entry->owner = owner;
        entry->ownerSource = kOwnerFromAllocationPage;
    }
}

void LearnFromPfsPage(PageMap& map, const PageBuffer& page, std::int64_t pageNumber) {
    const PageHeader header = PageHeader::At(page.data());
    const std::int32_t ownNumber = header.pageNumber();
    if (ownNumber != 1 && ownNumber % kPagesPerPfsPage != 0) return;
    SetOwnAllocationPageOwner(map, pageNumber, header.objectId());
    if (const auto row = RowOffset(page, 0)) TakePfsRow(map, page, *row, kPageBytes);
}

// An IAM page claims page `page` for `owner`. A claim never overrides another IAM page's; it
// overrides an owner that was only inferred from a link.
void Claim(PageMap& map, std::int64_t page, std::int32_t owner, const char* label, Observer& observer) {
    PageMapEntry* entry = map.Find(page);
    if (entry == nullptr || entry->owner == owner || entry->owner == kAllocationPageObjectId) return;
    if (entry->owner != 0 && entry->ownerSource == kOwnerFromAllocationPage) {
        observer.AppendLog(LogPane::Analysis, label);
        return;
    }
    entry->owner = owner;
    entry->ownerSource = kOwnerFromAllocationPage;
}

void ClaimExtents(PageMap& map, const PageBuffer& page, std::int64_t firstPage, std::int32_t owner, Observer& observer) {
    const auto bitmapRow = RowOffset(page, 1);
    if (!bitmapRow) return;
    const std::int64_t count = PayloadBytes(page, *bitmapRow);
    const std::uint8_t* bitmap = page.data() + *bitmapRow + kRowPayloadOffset;
    for (std::int64_t j = 0; j < count; ++j) {
        for (int bit = 0; bit < 8; ++bit) {
            if (!(bitmap[j] & (1u << bit))) continue;
            const std::int64_t extent = firstPage + 64 * j + kPagesPerExtent * bit;
            if (extent <= 0) continue;
            for (std::int64_t t = 0; t < kPagesPerExtent; ++t) Claim(map, extent + t, owner, kExtentClaimConflict, observer);
        }
    }
}

void LearnFromIamPage(PageMap& map, const PageBuffer& page, std::int64_t pageNumber, Observer& observer) {
    const std::int32_t owner = PageHeader::At(page.data()).objectId();
    SetOwnAllocationPageOwner(map, pageNumber, owner);
    const auto row = RowOffset(page, 0);
    if (!row) return;
    const std::int64_t firstPage = Int32At(page, *row + kIamFirstPageOffset);
    for (std::int64_t s = 0; s < kIamSinglePageSlots; ++s) {
        const std::int32_t single = Int32At(page, *row + kIamSinglePageOffset + kIamSinglePageSlotBytes * s);
        if (single > 0) Claim(map, single, owner, kSlotClaimConflict, observer);
    }
    ClaimExtents(map, page, firstPage, owner, observer);
}

// One link of a data or index page. False when the linked page is not known to be allocated:
// the page then teaches nothing more.
bool FollowLink(PageMap& map, const PageBuffer& page, std::size_t linkOffset, std::int32_t owner, Observer& observer) {
    const std::int32_t linked = Int32At(page, static_cast<std::int64_t>(linkOffset));
    const bool inThisFile = page[linkOffset + 4] == 1 && page[linkOffset + 5] == 0;
    if (linked <= 0 || !inThisFile) return true;
    PageMapEntry* entry = map.Find(linked);
    if (entry == nullptr || entry->allocation != kPageAllocated) return false;
    if (entry->owner == 0) {
        entry->owner = owner;
        entry->ownerSource = kOwnerFromLink;
    } else if (entry->owner != owner) {
        observer.AppendLog(LogPane::Analysis, kLinkConflict);
    }
    return true;
}

void LearnFromLinks(PageMap& map, const PageBuffer& page, Observer& observer) {
    const std::int32_t previous = Int32At(page, kPreviousPageOffset);
    const std::int32_t next = Int32At(page, kNextPageOffset);
    if (previous == 0 && next == 0) return;
    const std::int32_t owner = PageHeader::At(page.data()).objectId();
    if (FollowLink(map, page, kPreviousPageOffset, owner, observer)) FollowLink(map, page, kNextPageOffset, owner, observer);
}

// The last page of a fragment may have been cut short by a cluster boundary; an allocation page
// there is trusted only when it verifies.
bool MayBeCutShort(const PageEvidenceSources& sources, std::int64_t i, std::int64_t pages, std::uint8_t type) {
    return sources.sectorsPerCluster < 16 && i == pages - 1 && (type == kIamPageType || type == kPfsPageType);
}

} // namespace

bool PageMap::Reset(std::int32_t sizePages) {
    const PageMapEntry unknown{.owner = 0, .pageKind = 0, .allocation = kNotLearned, .ownerSource = kNotLearned};
    try {
        entries_.assign(static_cast<std::size_t>(std::max<std::int32_t>(sizePages, 0)), unknown);
        return true;
    } catch (const std::bad_alloc&) {
        entries_.clear();
        entries_.shrink_to_fit();
        return false;
    }
}

bool BuildPageMap(PageMap& map, PageEvidenceSources sources, std::int64_t pages, std::int32_t beginPage,
                  SectorNumber startSector) {
    PageBuffer page;
    for (std::int64_t i = 0; i < pages; ++i) {
        const std::int64_t pageNumber = beginPage + i;
        if (!ReadFragmentPageOrSay(sources.reader, sources.observer, kDefaultMessageTitle, startSector, i, page)) return false;
        const PageHeader header = PageHeader::At(page.data());
        const std::uint8_t type = header.pageType();
        if (!MayLearnFrom(map, header, pageNumber)) continue;
        if (MayBeCutShort(sources, i, pages, type) && !VerifyPage(page)) continue;
        RestoreTornBits(page);
        if (type == kPfsPageType)
            LearnFromPfsPage(map, page, pageNumber);
        else if (type == kIamPageType)
            LearnFromIamPage(map, page, pageNumber, sources.observer);
        else
            LearnFromLinks(map, page, sources.observer);
    }
    return true;
}

bool BuildPageMapFromPfs(PageMap& map, PageEvidenceSources sources, std::int64_t pages, std::int32_t beginPage,
                         SectorNumber startSector) {
    PageBuffer page;
    for (std::int64_t i = 0; i < pages; ++i) {
        const std::int64_t pageNumber = beginPage + i;
        if (!ReadFragmentPageOrSay(sources.reader, sources.observer, kDefaultMessageTitle, startSector, i, page)) return false;
        const PageHeader header = PageHeader::At(page.data());
        if (!MayLearnFrom(map, header, pageNumber)) continue;
        // A whole page keeps its row 0 at offset 96: its slot ends in 60 00 (torn bits may have
        // changed the low bits of the last byte). Otherwise only the first half is trusted.
        const bool wholeSlot = page[kPageSize - 1] <= 2 && page[kPageSize - 2] == 0x60;
        const bool firstHalfOnly = MayBeCutShort(sources, i, pages, header.pageType()) && !wholeSlot;
        RestoreTornBits(page);
        if (header.pageType() != kPfsPageType) continue;
        SetOwnAllocationPageOwner(map, pageNumber, header.objectId());
        const std::optional<std::int64_t> row = firstHalfOnly ? std::optional<std::int64_t>(kFirstRowOffset) : RowOffset(page, 0);
        if (row) TakePfsRow(map, page, *row, firstHalfOnly ? kPfsBytesInFirstHalf : kPagesPerPfsPage);
    }
    return true;
}

MatchCounts MatchFragment(const PageMap& map, PageEvidenceSources sources, std::int64_t pages, std::int32_t beginPage,
                          SectorNumber startSector) {
    MatchCounts counts;
    PageBuffer page;
    for (std::int64_t i = 0; i < pages; ++i) {
        if (!ReadFragmentPageOrSay(sources.reader, sources.observer, kDefaultMessageTitle, startSector, i, page)) return counts;
        RestoreTornBits(page);
        const PageHeader header = PageHeader::At(page.data());
        const std::int32_t objectId = header.objectId();
        if (objectId == kAllocationPageObjectId) continue;
        const PageMapEntry expected = map.At(beginPage + i);
        if (expected.allocation == kPageFree || header.headerVersion() != 1) continue;
        const bool isIamPage = header.pageType() == kIamPageType;
        if (expected.owner > 0) {
            if (objectId == expected.owner) {
                if (expected.pageKind == kIamPageKind && !isIamPage) return {counts.matches, 1};
                ++counts.matches;
            } else if (expected.allocation == kPageAllocated && expected.ownerSource == kOwnerFromAllocationPage) {
                return {counts.matches, 1};
            }
        } else if (expected.pageKind == kIamPageKind && expected.allocation == kPageAllocated) {
            if (!isIamPage) return {counts.matches, 1};
            ++counts.matches;
        }
    }
    return counts;
}

CandidateVerdict ClassifyCandidate(const PageMap& map, PageEvidenceSources sources, const FragmentList& fragments,
                                   const PageOrderIndex& index, std::size_t position, std::int32_t sizePages) {
    const auto line = static_cast<std::size_t>(index[position].lineIndex);
    const FragmentNumbers* numbers = line < fragments.Count() ? fragments.Numbers(line) : nullptr;
    if (numbers == nullptr) return CandidateVerdict::kRejected;
    const std::int64_t pages = numbers->Pages();
    if (numbers->beginPage + pages > sizePages) return CandidateVerdict::kRejected;
    const MatchCounts counts = MatchFragment(map, sources, pages, numbers->beginPage, numbers->startSector);
    if (counts.conflicts > 0) return CandidateVerdict::kRejected;
    return counts.matches > 0 ? CandidateVerdict::kFits : CandidateVerdict::kNoEvidence;
}

} // namespace vorthal
