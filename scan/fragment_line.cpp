#include "scan/fragment_line.h"

#include <array>
#include <charconv>

namespace vorthal {

namespace {

template <typename Integer>
std::optional<Integer> ParseDecimal(std::string_view text) {
    // from_chars takes no "+", no blanks and no hexadecimal prefix: exactly the written form.
    if (text.empty()) return std::nullopt;
    Integer value{};
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value, 10);
    if (status != std::errc{} || stop != end) return std::nullopt;
    return value;
}

// Number of "|" separators in `line`; field n exists when there are at least n.
std::size_t SeparatorCount(std::string_view line) {
    std::size_t count = 0;
    for (const char c : line) count += c == kFieldSeparator ? 1 : 0;
    return count;
}

template <typename Integer>
std::optional<Integer> ReadNumberField(std::string_view line, int field, FragmentLineError* error) {
    const std::string_view text = FieldOf(line, field);
    const std::optional<Integer> value = ParseDecimal<Integer>(text);
    if (!value && error != nullptr) {
        const bool missing = SeparatorCount(line) < static_cast<std::size_t>(field);
        *error = FragmentLineError{field, missing ? FragmentLineError::Problem::kMissing
                                                  : FragmentLineError::Problem::kNotAnInteger,
                                   std::string(text)};
    }
    return value;
}

template <typename Integer>
bool ReadInto(std::string_view line, int field, Integer& value, FragmentLineError* error) {
    const std::optional<Integer> read = ReadNumberField<Integer>(line, field, error);
    if (read) value = *read;
    return read.has_value();
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

void AppendField(std::string& line, std::string_view field) {
    line.append(field);
    line.push_back(kFieldSeparator);
}

template <typename Integer>
void AppendNumberField(std::string& line, Integer value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    AppendField(line, std::string_view(digits.data(), static_cast<std::size_t>(result.ptr - digits.data())));
}

} // namespace

std::string_view FieldOf(std::string_view text, int n) {
    if (n < 1) return {};
    std::size_t begin = 0;
    for (int field = 1;; ++field) {
        const std::size_t end = text.find(kFieldSeparator, begin);
        if (end == std::string_view::npos) return {};
        if (field == n) return text.substr(begin, end - begin);
        begin = end + 1;
    }
}

std::optional<std::int32_t> ParseInt32Text(std::string_view text) { return ParseDecimal<std::int32_t>(text); }

std::optional<std::int64_t> ParseInt64Text(std::string_view text) { return ParseDecimal<std::int64_t>(text); }

std::optional<std::int32_t> ReadInt32Field(std::string_view line, int field, FragmentLineError* error) {
    return ReadNumberField<std::int32_t>(line, field, error);
}

std::optional<std::int64_t> ReadInt64Field(std::string_view line, int field, FragmentLineError* error) {
    return ReadNumberField<std::int64_t>(line, field, error);
}

std::int64_t PagesOfSizeKb(std::int64_t sizeKb) {
    constexpr std::int64_t kKbPerPage = 8;
    const std::int64_t whole = sizeKb / kKbPerPage;
    const std::int64_t rest = sizeKb % kKbPerPage; // same sign as sizeKb
    if (rest >= kKbPerPage / 2) return whole + 1;
    if (rest <= -kKbPerPage / 2) return whole - 1;
    return whole;
}

std::string_view FragmentFieldName(int field) {
    static constexpr std::array<std::string_view, kFragmentLineFieldCount> kNames = {
        "fragment number", "start sector", "end sector", "size in KB",
        "begin page",      "end page",     "memo",       "visibility flag"};
    if (field < 1 || field > kFragmentLineFieldCount) return "unknown field";
    return kNames[static_cast<std::size_t>(field - 1)];
}

std::string FragmentLineError::Describe() const {
    const std::string subject = "field " + std::to_string(field) + " (" + std::string(FragmentFieldName(field)) + ") ";
    if (problem == Problem::kMissing) return subject + "is missing";
    const bool wide = field == kFieldStartSector || field == kFieldEndSector || field == kFieldSizeKb;
    return subject + (wide ? "is not a 64-bit integer: \"" : "is not a 32-bit integer: \"") + text + "\"";
}

std::optional<FragmentNumbers> ParseFragmentNumbers(std::string_view line, FragmentLineError* error) {
    FragmentNumbers numbers;
    const bool ok = ReadInto(line, kFieldFragmentNumber, numbers.number, error) &&
                    ReadInto(line, kFieldStartSector, numbers.startSector, error) &&
                    ReadInto(line, kFieldEndSector, numbers.endSector, error) &&
                    ReadInto(line, kFieldSizeKb, numbers.sizeKb, error) &&
                    ReadInto(line, kFieldBeginPage, numbers.beginPage, error) &&
                    ReadInto(line, kFieldEndPage, numbers.endPage, error);
    if (!ok) return std::nullopt;
    return numbers;
}

std::optional<Fragment> ParseFragmentLine(std::string_view line, FragmentLineError* error) {
    const std::optional<FragmentNumbers> numbers = ParseFragmentNumbers(line, error);
    if (!numbers) return std::nullopt;
    const std::size_t separators = SeparatorCount(line);
    for (const int field : {kFieldMemo, kFieldVisibility}) {
        if (separators < static_cast<std::size_t>(field)) {
            if (error != nullptr) *error = FragmentLineError{field, FragmentLineError::Problem::kMissing, {}};
            return std::nullopt;
        }
    }
    Fragment fragment;
    static_cast<FragmentNumbers&>(fragment) = *numbers;
    fragment.memo = std::string(FieldOf(line, kFieldMemo));
    fragment.visible = TrimBlanks(FieldOf(line, kFieldVisibility)) != "N";
    return fragment;
}

std::string BuildFragmentLine(const Fragment& fragment) {
    std::string memo = fragment.memo;
    for (char& c : memo) {
        if (c == kFieldSeparator || c == '\0') c = '?';
    }
    std::string line;
    line.reserve(64 + memo.size());
    AppendNumberField(line, fragment.number);
    AppendNumberField(line, fragment.startSector);
    AppendNumberField(line, fragment.endSector);
    AppendNumberField(line, fragment.sizeKb);
    AppendNumberField(line, fragment.beginPage);
    AppendNumberField(line, fragment.endPage);
    AppendField(line, memo);
    AppendField(line, fragment.visible ? "Y" : "N");
    return line;
}

} // namespace vorthal
