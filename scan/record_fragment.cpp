#include "scan/record_fragment.h"

#include <array>
#include <cstdio>

#include "analysis/page_interpretation.h"
#include "base/log_lines.h"

namespace vorthal {
namespace {

constexpr std::int64_t kFileNamePage = 32;

// Reads page `pageIndex` of the fragment with its torn bits restored; shows the read error.
bool ReadFragmentPage(FragmentRecorder& recorder, SectorNumber startSector, std::int64_t pageIndex,
                      std::array<std::uint8_t, kPageSize>& page) {
    if (!recorder.readSource(static_cast<std::int32_t>(kSectorsPerPage), page.data(),
                             startSector + pageIndex * kSectorsPerPage)) {
        recorder.observer.ShowMessage(kDefaultMessageTitle, kReadDiskErrorMessage);
        return false;
    }
    RestoreTornBits(page);
    return true;
}

// The file size in pages from page 0 of the fragment, 0 when it cannot be read from the page.
std::optional<std::int64_t> ReadFileSizePages(FragmentRecorder& recorder, SectorNumber startSector) {
    std::array<std::uint8_t, kPageSize> page{};
    if (!ReadFragmentPage(recorder, startSector, 0, page)) return std::nullopt;
    const std::optional<std::int32_t> size = ReadDatabaseFileSize(page);
    if (!size) recorder.observer.AppendLog(LogPane::Scan, kFileSizeUnreadableLine);
    return size.value_or(0);
}

std::optional<std::string> PageZeroMemo(FragmentRecorder& recorder, std::int32_t pages, SectorNumber startSector) {
    if (pages <= kShortFileStartPages) {
        const std::optional<std::int64_t> size = ReadFileSizePages(recorder, startSector);
        if (!size) return std::nullopt;
        return std::string(kInvalidFileHeaderMemo) + ",size:" + std::to_string(*size * 8) + "KB";
    }
    if (recorder.pendingMemo.find(kInvalidFileHeaderMemo) == std::string::npos) return recorder.pendingMemo;
    const std::optional<std::int64_t> size = ReadFileSizePages(recorder, startSector);
    if (!size) return std::nullopt;
    std::array<std::uint8_t, kPageSize> page{};
    if (!ReadFragmentPage(recorder, startSector, kFileNamePage, page)) return std::nullopt;
    std::optional<std::string> name = ReadDatabaseFileName(page);
    if (!name) recorder.observer.AppendLog(LogPane::Scan, kFileNameUnreadableLine);
    return name.value_or(kUnknownFileName) + "(" + FileSizeText(*size) + ")";
}

} // namespace

std::string FileSizeText(std::int64_t pages) {
    const double megabytes = static_cast<double>(pages) * 16.0 / 2048.0;
    char text[64];
    if (megabytes >= 1000.0)
        std::snprintf(text, sizeof text, "%.2f GB", megabytes / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.2f MB", megabytes);
    return text;
}

std::optional<std::string> MakeFragmentLine(FragmentRecorder& recorder, std::int32_t fragmentNumber,
                                             std::int32_t pages, std::int32_t beginPage, SectorNumber startSector) {
    if (recorder.limitBeginPage && beginPage >= recorder.maxBeginPage) return std::nullopt;
    Fragment fragment;
    if (beginPage == 0) {
        std::optional<std::string> memo = PageZeroMemo(recorder, pages, startSector);
        if (!memo) return std::nullopt;
        fragment.memo = std::move(*memo);
    }
    fragment.number = fragmentNumber;
    fragment.startSector = startSector;
    fragment.endSector = startSector + kSectorsPerPage * pages;
    fragment.sizeKb = std::int64_t{8} * pages;
    fragment.beginPage = beginPage;
    fragment.endPage = static_cast<std::int32_t>(std::int64_t{beginPage} + pages);
    fragment.visible = true;
    return BuildFragmentLine(fragment);
}

bool RecordFragment(FragmentRecorder& recorder, std::int32_t fragmentNumber, std::int32_t pages,
                    std::int32_t beginPage, SectorNumber startSector) {
    const std::optional<std::string> line = MakeFragmentLine(recorder, fragmentNumber, pages, beginPage, startSector);
    if (!line) return false;
    recorder.fragments.Append(*line);
    recorder.observer.FragmentRowAdded(*line);
    return true;
}

bool ReplaceLastFragment(FragmentRecorder& recorder, std::int32_t fragmentNumber, std::int32_t pages,
                         std::int32_t beginPage, SectorNumber startSector) {
    const std::optional<std::string> line = MakeFragmentLine(recorder, fragmentNumber, pages, beginPage, startSector);
    if (!line) return false;
    recorder.fragments.DeleteLast();
    recorder.observer.LastFragmentRowRemoved();
    recorder.fragments.Append(*line);
    recorder.observer.FragmentRowAdded(*line);
    return true;
}

} // namespace vorthal
