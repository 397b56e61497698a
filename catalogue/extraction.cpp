#include "catalogue/extraction.h"

#include <cstdio>

#include "assembly/fragment_copy.h"
#include "assembly/page_file_writer.h"
#include "base/bytes.h"

namespace vorthal {

namespace {

constexpr const char* kFileKindTitle = "数据文件类型选择";
constexpr const char* kSavedMessage = "保存完毕";
constexpr const char* kReadError = "read disk error";
constexpr std::int32_t kFileNamePage = 32;

void ShowError(Observer& observer, const std::string& text) {
    observer.ShowMessage(kDefaultMessageTitle, text, MessageIcon::Error);
}

ExtractionResult Saved(ExtractionResult result, Observer& observer) {
    result.outcome = ExtractionOutcome::kSaved;
    observer.ShowMessage(kDefaultMessageTitle, kSavedMessage);
    return result;
}

ExtractionResult WriteFailed(ExtractionResult result, const PageFileWriter& writer, Observer& observer) {
    result.outcome = ExtractionOutcome::kWriteFailed;
    result.error = writer.Error();
    ShowError(observer, "error," + writer.Error());
    return result;
}

// A copy that stopped: at an unreadable page (its message is shown) or at a failed write.
ExtractionResult CopyStopped(ExtractionResult result, const FragmentCopyResult& copy, PageFileWriter& writer,
                             Observer& observer) {
    if (copy.writeFailed) return WriteFailed(std::move(result), writer, observer);
    writer.Finish();
    result.outcome = ExtractionOutcome::kReadFailed;
    return result;
}

// The first ticked row, from the second on, that begins below the previous one's end.
const FragmentNumbers* FirstUnconnectedRow(std::span<const FragmentNumbers> rows) {
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].beginPage < rows[i - 1].endPage) return &rows[i];
    }
    return nullptr;
}

std::string TrimmedText(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

} // namespace

ExtractionResult ExtractTickedFragments(std::span<const FragmentNumbers> tickedRows, int sectorsPerCluster,
                                        FragmentSectorReader& reader, Observer& observer,
                                        const ExtractionDialogs& dialogs) {
    if (observer.AskYesNo(kFileKindTitle, "组合保存成一个文件选是，保存为多个文件选否")) {
        const bool check = observer.AskYesNo(kFileKindTitle, "判断页号重复选是，不判断则选否");
        return ExtractToCombinedFile(tickedRows, check, sectorsPerCluster, reader, observer, dialogs);
    }
    return ExtractToFragmentFiles(tickedRows, reader, observer, dialogs);
}

ExtractionResult ExtractToCombinedFile(std::span<const FragmentNumbers> tickedRows, bool checkPageNumbers,
                                       int sectorsPerCluster, FragmentSectorReader& reader, Observer& observer,
                                       const ExtractionDialogs& dialogs) {
    ExtractionResult result;
    if (checkPageNumbers) {
        if (const FragmentNumbers* row = FirstUnconnectedRow(tickedRows)) {
            ShowError(observer, "error,pageid not connectted:" + std::to_string(row->beginPage));
            result.outcome = ExtractionOutcome::kPagesNotConnected;
            return result;
        }
    }
    const std::optional<std::string> path = dialogs.chooseFile("组合文件", "noname");
    if (!path) return result;
    PageFileWriter writer;
    if (!writer.Create(*path)) {
        result.outcome = ExtractionOutcome::kCannotCreate;
        result.error = writer.Error();
        ShowError(observer, "error,无法创建文件");
        return result;
    }
    result.files.push_back(*path);

    PageBuffer jointPage{};
    bool jointIsLastPage = false;
    for (std::size_t s = 0; s < tickedRows.size(); ++s) {
        const FragmentNumbers& row = tickedRows[s];
        if (s > 0) {
            const std::int32_t previousEnd = tickedRows[s - 1].endPage;
            if (previousEnd < row.beginPage) {
                if (!writer.AppendZeroPages(static_cast<std::int64_t>(row.beginPage) - previousEnd)) {
                    return WriteFailed(std::move(result), writer, observer);
                }
                jointIsLastPage = false;
            } else if (previousEnd == row.beginPage && sectorsPerCluster > 0 && sectorsPerCluster < 16 &&
                       jointIsLastPage) {
                const JointRepairOutcome repair =
                    RepairJointPage(jointPage, row.startSector, sectorsPerCluster, reader, writer);
                if (repair == JointRepairOutcome::kWriteFailed) return WriteFailed(std::move(result), writer, observer);
                if (repair == JointRepairOutcome::kPrefixUnreadable) {
                    ShowError(observer, kReadError);
                    writer.Finish();
                    result.outcome = ExtractionOutcome::kReadFailed;
                    return result;
                }
            }
        }
        const FragmentCopyResult copy =
            CopyFragmentPages(row, reader, writer, observer, UnreadablePagePolicy::kStop, jointPage);
        if (copy.writeFailed || copy.stoppedAtUnreadable) return CopyStopped(std::move(result), copy, writer, observer);
        if (copy.hasLastPage) jointIsLastPage = true;
    }
    if (!writer.Finish()) return WriteFailed(std::move(result), writer, observer);
    return Saved(std::move(result), observer);
}

ExtractionResult ExtractToFragmentFiles(std::span<const FragmentNumbers> tickedRows, FragmentSectorReader& reader,
                                        Observer& observer, const ExtractionDialogs& dialogs) {
    ExtractionResult result;
    const std::optional<std::string> folder = dialogs.chooseFolder("保存目录");
    if (!folder) return result;
    for (const FragmentNumbers& row : tickedRows) {
        const std::string path = *folder + "/" + std::to_string(row.startSector) + ".hex";
        PageFileWriter writer;
        if (!writer.Create(path)) {
            result.outcome = ExtractionOutcome::kCannotCreate;
            result.error = writer.Error();
            ShowError(observer, "error,无法创建文件" + path);
            return result;
        }
        result.files.push_back(path);
        PageBuffer lastPage{};
        const FragmentCopyResult copy =
            CopyFragmentPages(row, reader, writer, observer, UnreadablePagePolicy::kStop, lastPage);
        if (copy.writeFailed || copy.stoppedAtUnreadable) return CopyStopped(std::move(result), copy, writer, observer);
        if (!writer.Finish()) return WriteFailed(std::move(result), writer, observer);
    }
    return Saved(std::move(result), observer);
}

std::vector<std::string> ShowTickedFileNames(std::span<const FragmentNumbers> tickedRows,
                                             FragmentSectorReader& reader, Observer& observer) {
    std::vector<std::string> names;
    for (const FragmentNumbers& row : tickedRows) {
        if (row.beginPage > kFileNamePage || row.endPage <= kFileNamePage) break;
        PageBuffer page{};
        const std::int64_t offset = (static_cast<std::int64_t>(kFileNamePage) - row.beginPage) * kSectorsPerPage;
        if (!reader.ReadFragmentSectors(row.startSector, offset, static_cast<std::int32_t>(kSectorsPerPage),
                                        page.data())) {
            ShowError(observer, kReadError);
            break;
        }
        RestoreTornBits(page);
        names.push_back(ReadDatabaseFileName(page).value_or("none"));
        observer.ShowMessage(kDefaultMessageTitle, names.back());
    }
    return names;
}

std::string LogSequenceNumberText(PageBytes page) {
    char text[21];
    std::snprintf(text, sizeof text, "%08X%08X%04X", LoadLE32(page.data() + 40), LoadLE32(page.data() + 44),
                  static_cast<unsigned>(LoadLE16(page.data() + 48)));
    return text;
}

bool AppendLogSequenceNumbers(std::span<Fragment> viewRows, FragmentSectorReader& reader, Observer& observer) {
    for (Fragment& row : viewRows) {
        if (row.beginPage != 0) continue;
        PageBuffer page{};
        if (!reader.ReadFragmentSectors(row.startSector, 0, static_cast<std::int32_t>(kSectorsPerPage), page.data())) {
            ShowError(observer, kReadError);
            return false;
        }
        row.memo = TrimmedText(row.memo) + " " + LogSequenceNumberText(page);
    }
    observer.ShowMessage(kDefaultMessageTitle, "处理完毕");
    return true;
}

} // namespace vorthal
