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

// Walks the fields of a line from the first, each once.
class FieldWalker {
public:
    explicit FieldWalker(std::string_view line) : rest_(line) {}

    // The next field, or no value when no "|" closes it.
    std::optional<std::string_view> Next() {
        const std::size_t end = rest_.find(kFieldSeparator);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view field = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return field;
    }

private:
    std::string_view rest_;
};

// Field n of `line`, or no value when it is missing (unlike FieldOf, which gives "").
std::optional<std::string_view> PresentField(std::string_view line, int n) {
    FieldWalker walker(line);
    std::optional<std::string_view> field;
    for (int number = 1; number <= n; ++number) {
        field = walker.Next();
        if (!field) break;
    }
    return field;
}

template <typename Integer>
std::optional<Integer> ParseField(std::optional<std::string_view> text, int field, FragmentLineError* error) {
    std::optional<Integer> value;
    if (text) value = ParseDecimal<Integer>(*text);
    if (!value && error != nullptr) {
        *error = FragmentLineError{field, text ? FragmentLineError::Problem::kNotAnInteger : FragmentLineError::Problem::kMissing,
                                   std::string(text.value_or(std::string_view{})), 8 * static_cast<int>(sizeof(Integer))};
    }
    return value;
}

template <typename Integer>
bool ReadNext(FieldWalker& walker, int field, Integer& value, FragmentLineError* error) {
    const std::optional<Integer> read = ParseField<Integer>(walker.Next(), field, error);
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

std::string_view FieldOf(std::string_view text, int n) { return PresentField(text, n).value_or(std::string_view{}); }

std::optional<std::int32_t> ParseInt32Text(std::string_view text) { return ParseDecimal<std::int32_t>(text); }

std::optional<std::int64_t> ParseInt64Text(std::string_view text) { return ParseDecimal<std::int64_t>(text); }

std::optional<std::int32_t> ReadInt32Field(std::string_view line, int field, FragmentLineError* error) {
    return ParseField<std::int32_t>(PresentField(line, field), field, error);
}

std::optional<std::int64_t> ReadInt64Field(std::string_view line, int field, FragmentLineError* error) {
    return ParseField<std::int64_t>(PresentField(line, field), field, error);
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
    return subject + "is not a " + std::to_string(bits) + "-bit integer: \"" + text + "\"";
}

namespace {

bool ReadNumbers(FieldWalker& walker, FragmentNumbers& numbers, FragmentLineError* error) {
    return ReadNext(walker, kFieldFragmentNumber, numbers.number, error) &&
           ReadNext(walker, kFieldStartSector, numbers.startSector, error) &&
           ReadNext(walker, kFieldEndSector, numbers.endSector, error) &&
           ReadNext(walker, kFieldSizeKb, numbers.sizeKb, error) &&
           ReadNext(walker, kFieldBeginPage, numbers.beginPage, error) &&
           ReadNext(walker, kFieldEndPage, numbers.endPage, error);
}

} // namespace

std::optional<FragmentNumbers> ParseFragmentNumbers(std::string_view line, FragmentLineError* error) {
    FieldWalker walker(line);
    FragmentNumbers numbers;
    if (!ReadNumbers(walker, numbers, error)) return std::nullopt;
    return numbers;
}

std::optional<Fragment> ParseFragmentLine(std::string_view line, FragmentLineError* error) {
    FieldWalker walker(line);
    Fragment fragment;
    if (!ReadNumbers(walker, fragment, error)) return std::nullopt;
    const std::optional<std::string_view> memo = walker.Next();
    const std::optional<std::string_view> flag = memo ? walker.Next() : std::nullopt;
    if (!flag) {
        if (error != nullptr) {
            *error = FragmentLineError{memo ? kFieldVisibility : kFieldMemo, FragmentLineError::Problem::kMissing, {}};
        }
        return std::nullopt;
    }
    fragment.memo = std::string(*memo);
    fragment.visible = TrimBlanks(*flag) != "N";
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
