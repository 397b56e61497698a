// The fragment line: the one text form in which a fragment is stored, saved and exchanged.
// Fields in this order, each followed by "|": fragment number, start sector, end sector, size in
// KB, begin page, end page, memo, visibility flag ("Y" or "N"). Example of a fragment of 10
// pages at sector 800 beginning with page 471: "3|800|960|80|471|481| |Y|".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/page_geometry.h"

namespace vorthal {

inline constexpr char kFieldSeparator = '|';
inline constexpr int kFragmentLineFieldCount = 8;
// The memo of every fragment that does not start at page 0.
inline constexpr std::string_view kBlankMemo = " ";

// Field numbers, counted from 1 as FieldOf counts them.
enum FragmentField : int {
    kFieldFragmentNumber = 1,
    kFieldStartSector = 2,
    kFieldEndSector = 3,
    kFieldSizeKb = 4,
    kFieldBeginPage = 5,
    kFieldEndPage = 6,
    kFieldMemo = 7,
    kFieldVisibility = 8,
};

// The n-th field (n from 1) of `text`: the piece before the n-th "|", untrimmed. A piece
// counts as a field only when a "|" follows it, so a last piece without a closing "|" is never
// returned and a missing field is the empty text. Pure; the result views `text`.
std::string_view FieldOf(std::string_view text, int n);

// Decimal text as written in fragment lines and list cells: an optional "-" and digits, no
// blanks, within range. Anything else gives no value.
std::optional<std::int32_t> ParseInt32Text(std::string_view text);
std::optional<std::int64_t> ParseInt64Text(std::string_view text);

// Pages of a fragment from its size in KB (8 KB per page), rounded to the nearest integer,
// halves away from zero. Sizes written by the scan are multiples of 8 and divide exactly.
std::int64_t PagesOfSizeKb(std::int64_t sizeKb);

// The numbers of fields 1 to 6. End values are exclusive: one past the last sector or page.
struct FragmentNumbers {
    std::int32_t number = 0;
    SectorNumber startSector = 0;
    SectorNumber endSector = 0;
    std::int64_t sizeKb = 0;
    std::int32_t beginPage = 0;
    std::int32_t endPage = 0;

    std::int64_t Pages() const { return PagesOfSizeKb(sizeKb); }
    bool operator==(const FragmentNumbers&) const = default;
};

// All eight fields of a fragment line as values.
struct Fragment : FragmentNumbers {
    std::string memo{kBlankMemo};
    bool visible = true;

    bool operator==(const Fragment&) const = default;
};

// Why a line could not be read as a fragment: the first field that failed.
struct FragmentLineError {
    enum class Problem { kMissing, kNotAnInteger };

    int field = 0;
    Problem problem = Problem::kMissing;
    std::string text; // the field as found, for kNotAnInteger
    int bits = 32;    // width of the integer the field was read as

    // For example: field 5 (begin page) is not a 32-bit integer: "4x1"
    std::string Describe() const;
};

// The name of field n (1 to 8), for example "begin page".
std::string_view FragmentFieldName(int field);

// Field `field` of `line` as a number, or no value with `error` (when given) saying why.
std::optional<std::int32_t> ReadInt32Field(std::string_view line, int field, FragmentLineError* error = nullptr);
std::optional<std::int64_t> ReadInt64Field(std::string_view line, int field, FragmentLineError* error = nullptr);

// Reads fields 1 to 6 of `line`. Fields behind the sixth are not looked at.
std::optional<FragmentNumbers> ParseFragmentNumbers(std::string_view line, FragmentLineError* error = nullptr);

// Reads all eight fields. A line is hidden only when its flag, blanks trimmed, is exactly "N";
// any other flag counts as visible, as the fragment list view shows it.
std::optional<Fragment> ParseFragmentLine(std::string_view line, FragmentLineError* error = nullptr);

// The line of `fragment`, flag "Y" or "N". A "|" in the memo would shift every field behind
// it and a zero byte would not survive the scan info file, so both become "?" in the line.
std::string BuildFragmentLine(const Fragment& fragment);

} // namespace vorthal
