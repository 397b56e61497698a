#include "analysis/database_catalogue.h"

#include <optional>
#include <string_view>

#include "analysis/fragment_page.h"
#include "analysis/page_interpretation.h"

namespace vorthal {
namespace {

constexpr std::int64_t kFileNamePage = 32;
constexpr const char* kMessTitle = "mess";

// Name and size of the file whose first fragment starts at `startSector`, read from pages 0
// and 32; nothing after a failure, whose message has been shown.
std::optional<std::string> ReadNameAndSize(FragmentSectorReader& reader, Observer& observer, SectorNumber startSector) {
    PageBuffer page;
    if (!ReadFragmentPageOrSay(reader, observer, kMessTitle, startSector, 0, page)) return std::nullopt;
    RestoreTornBits(page);
    const std::optional<std::int32_t> sizePages = ReadDatabaseFileSize(page);
    if (!sizePages) {
        observer.ShowMessage(kMessTitle, "get file size error");
        return std::nullopt;
    }
    if (!ReadFragmentPageOrSay(reader, observer, kDefaultMessageTitle, startSector, kFileNamePage, page)) return std::nullopt;
    RestoreTornBits(page);
    const std::optional<std::string> name = ReadDatabaseFileName(page);
    if (!name) {
        observer.ShowMessage(kDefaultMessageTitle, "get file name error");
        return std::nullopt;
    }
    return NameWithSize(*name, *sizePages);
}

} // namespace

bool IsHiddenLine(const FragmentList& fragments, std::size_t line) {
    const std::string_view flag = fragments.Field(line, kFieldVisibility);
    const auto first = flag.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    const auto last = flag.find_last_not_of(' ');
    return flag.substr(first, last - first + 1) == "N";
}

std::string NameWithSize(const std::string& fileName, std::int64_t sizePages) {
    return fileName + ":" + std::to_string(sizePages * 8) + "KB";
}

std::vector<DatabaseFileRow> ListDatabaseFiles(const FragmentList& fragments, bool contentFileMode,
                                               FragmentSectorReader& reader, Observer& observer) {
    std::vector<DatabaseFileRow> rows;
    for (std::size_t i = 0; i < fragments.Count(); ++i) {
        const FragmentNumbers* numbers = fragments.Numbers(i);
        if (numbers == nullptr || numbers->beginPage > 0 || IsHiddenLine(fragments, i)) continue;
        rows.push_back({.caption = static_cast<std::int32_t>(rows.size() + 1),
                        .name = std::string(fragments.Field(i, kFieldMemo)),
                        .sizeKb = numbers->sizeKb,
                        .beginPage = numbers->beginPage,
                        .endPage = numbers->endPage,
                        .startSector = numbers->startSector,
                        .endSector = numbers->endSector,
                        .lineIndex = i});
    }
    if (!contentFileMode) return rows;
    for (DatabaseFileRow& row : rows) {
        if (PagesOfSizeKb(row.sizeKb) <= kFileNamePage) continue;
        if (auto name = ReadNameAndSize(reader, observer, row.startSector)) row.name = std::move(*name);
    }
    return rows;
}

} // namespace vorthal
