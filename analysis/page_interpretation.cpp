#include "analysis/page_interpretation.h"

#include <algorithm>
#include <bit>
#include <string_view>

#include "base/bytes.h"
#include "base/page_geometry.h"

namespace vorthal {
namespace {

constexpr std::size_t kWordsPerPage = kPageSize / 4;
constexpr std::size_t kWordsPerSector = kSectorSize / 4;
constexpr std::size_t kStoredChecksumWord = kTornBitsOffset / 4;
constexpr std::size_t kSectorsPerPageCount = kPageSize / kSectorSize;
// ".mdf" in UTF-16LE; the letters match in either case.
constexpr std::size_t kMdfSuffixBytes = 8;
// Text units taken at most for a path.
constexpr std::size_t kMaxPathUnits = 4001;
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

std::uint8_t PageVerificationOf(PageBytes page) {
    return page[kVerificationFlagOffset] & 0x0F;
}

std::size_t LastByteOfSector(std::size_t sector) {
    return sector * kSectorSize + kSectorSize - 1;
}

bool IsAllZero(PageBytes page) {
    return std::all_of(page.begin(), page.end(), [](std::uint8_t b) { return b == 0; });
}

// Torn-page detection stamps the low two bits of the torn-bit field into the last byte of
// every sector but the first; a sector written at another time carries other bits.
bool TornBitsMatch(PageBytes page) {
    const unsigned pattern = page[kTornBitsOffset] & 3u;
    for (std::size_t sector = 1; sector < kSectorsPerPageCount; ++sector)
        if ((page[LastByteOfSector(sector)] & 3u) != pattern)
            return false;
    return true;
}

// Where row 0 starts, for the pattern searches: the slot 0 offset, no lower than 0.
std::size_t RowZeroStart(PageBytes page) {
    return static_cast<std::size_t>(std::max<std::int16_t>(*SlotOffset(page, 0), 0));
}

bool IsAllFF(PageBytes page, std::size_t at) {
    return page[at] == 0xFF && page[at + 1] == 0xFF && page[at + 2] == 0xFF && page[at + 3] == 0xFF;
}

bool IsMdfSuffix(PageBytes page, std::size_t at) {
    static constexpr std::string_view kLower = ".mdf";
    for (std::size_t k = 0; k < kLower.size(); ++k) {
        const std::uint8_t byte = page[at + 2 * k];
        const auto lowered = static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
        if (lowered != kLower[k] || page[at + 2 * k + 1] != 0)
            return false;
    }
    return true;
}

// The first ".mdf" whose eight bytes lie wholly in the page, at or after `from`.
std::size_t FindMdfSuffix(PageBytes page, std::size_t from) {
    for (std::size_t at = from; at + kMdfSuffixBytes <= kPageSize; ++at)
        if (IsMdfSuffix(page, at))
            return at;
    return kNotFound;
}

bool IsTwoBlanks(PageBytes page, std::size_t at) {
    return page[at] == 0x20 && page[at + 1] == 0 && page[at + 2] == 0x20 && page[at + 3] == 0;
}

// Walks back from the ".mdf" at `suffix` in steps of one text unit to the two blanks that
// precede the path; the walk ends at the first position at or below the row start, and
// never leaves the page.
std::size_t FindBlanksBefore(PageBytes page, std::size_t rowStart, std::size_t suffix) {
    for (std::size_t at = suffix; at >= 2;) {
        at -= 2;
        if (IsTwoBlanks(page, at))
            return at;
        if (at <= rowStart)
            break;
    }
    return kNotFound;
}

bool IsBlankOrControl(char16_t unit) {
    return unit <= 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

void AppendUtf8(std::string& out, char32_t cp) {
    auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Surrogate pairs become one character; a surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t k = 0; k < units.size(); ++k) {
        const char16_t unit = units[k];
        if (IsHighSurrogate(unit) && k + 1 < units.size() && IsLowSurrogate(units[k + 1])) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(units[k + 1]) - 0xDC00));
            ++k;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

// The path text between `from` and `to`: UTF-16LE up to the first unit 0, trimmed of blanks
// and control characters, with ".mdf" appended.
std::string PathBetween(PageBytes page, std::size_t from, std::size_t to) {
    std::u16string units;
    for (std::size_t at = from; at + 2 <= to && units.size() < kMaxPathUnits; at += 2) {
        const auto unit = static_cast<char16_t>(LoadLE16(page.data() + at));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    std::u16string_view text = units;
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return Utf16ToUtf8(text) + ".mdf";
}

} // namespace

std::uint32_t PageChecksum(PageBytes page) {
    std::uint32_t sum = 0;
    for (std::size_t word = 0; word < kWordsPerPage; ++word) {
        if (word == kStoredChecksumWord)
            continue;
        const auto rotation = static_cast<int>(15 - word / kWordsPerSector);
        sum ^= std::rotl(LoadLE32(page.data() + 4 * word), rotation);
    }
    return sum;
}

bool VerifyPage(PageBytes page) {
    if (IsAllZero(page))
        return true;
    switch (PageVerificationOf(page)) {
    case kTornPageVerification:
        return TornBitsMatch(page);
    case kChecksumVerification:
        return PageChecksum(page) == LoadLE32(page.data() + kTornBitsOffset);
    default:
        return false;
    }
}

void RestoreTornBits(MutablePageBytes page) {
    const std::uint32_t tornBits = LoadLE32(page.data() + kTornBitsOffset);
    const unsigned pattern = tornBits & 3u;
    if ((page[kVerificationFlagOffset] & 1u) == 0 || (pattern != 1 && pattern != 2))
        return;
    for (std::size_t sector = 1; sector < kSectorsPerPageCount; ++sector) {
        std::uint8_t& last = page[LastByteOfSector(sector)];
        const auto saved = static_cast<std::uint8_t>((tornBits >> (2 * sector)) & 3u);
        last = static_cast<std::uint8_t>((last & 0xFCu) | saved);
    }
}

bool ReadPageBytes(PageBytes page, std::size_t offset, std::span<std::uint8_t> destination) {
    if (offset > kPageSize || destination.size() > kPageSize - offset)
        return false;
    std::copy_n(page.begin() + static_cast<std::ptrdiff_t>(offset), destination.size(), destination.begin());
    return true;
}

std::optional<std::int16_t> SlotOffset(PageBytes page, int slot) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= kPageSize / 2)
        return std::nullopt;
    return LoadLE16Signed(page.data() + kPageSize - 2 * static_cast<std::size_t>(slot) - 2);
}

std::optional<std::int32_t> ReadDatabaseFileSize(PageBytes page) {
    // The size sits in the four bytes in front of the FF run, so a run must start at 4 or later.
    for (std::size_t at = std::max<std::size_t>(RowZeroStart(page), 4); at + 4 <= kPageSize; ++at)
        if (IsAllFF(page, at))
            return LoadLE32Signed(page.data() + at - 4);
    return std::nullopt;
}

std::optional<std::string> ReadDatabaseFileName(PageBytes page) {
    const std::size_t rowStart = RowZeroStart(page);
    // The first ".mdf" may end the logical file name rather than the path; with no blanks in
    // front of it, the next one is tried.
    for (std::size_t suffix = FindMdfSuffix(page, rowStart); suffix != kNotFound;
         suffix = FindMdfSuffix(page, suffix + kMdfSuffixBytes)) {
        const std::size_t blanks = FindBlanksBefore(page, rowStart, suffix);
        if (blanks != kNotFound)
            return PathBetween(page, blanks + 4, suffix);
    }
    return std::nullopt;
}

} // namespace vorthal
