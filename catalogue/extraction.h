// Extraction of fragments to files, outside the chain analysis: the pages of the ticked
// fragments into one combined file or one ".hex" file per fragment, the database file name of
// ticked fragments that hold page 32, and the log sequence number of fragments that start a
// database file. Rows are those of the fragment list view, in its current order. The questions
// go through the Observer; the save and folder dialogs are the front end's callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/page_interpretation.h"
#include "base/observer.h"
#include "catalogue/fragment_reader.h"
#include "scan/fragment_line.h"

namespace vorthal {

struct ExtractionDialogs {
    // The save dialog: title and proposed name; the chosen path, or nothing on cancel.
    std::function<std::optional<std::string>(const std::string& title, const std::string& proposedName)> chooseFile;
    // The browse-for-folder dialog: caption; the chosen folder, or nothing on cancel.
    std::function<std::optional<std::string>(const std::string& caption)> chooseFolder;
};

enum class ExtractionOutcome {
    kSaved,              // "保存完毕"
    kCancelled,          // a dialog was cancelled
    kPagesNotConnected,  // "error,pageid not connectted:" + page; nothing written
    kCannotCreate,       // "error,无法创建文件"
    kReadFailed,         // "read disk error"; files written before stay as written
    kWriteFailed,        // the file being written is incomplete
};

struct ExtractionResult {
    ExtractionOutcome outcome = ExtractionOutcome::kCancelled;
    std::vector<std::string> files; // the files created, in order
    std::string error;              // detail of a create or write failure
};

// The whole of "提取勾选碎片到文件": asks "组合保存成一个文件选是，保存为多个文件选否" and, for
// one combined file, "判断页号重复选是，不判断则选否" (title "数据文件类型选择"). The combined
// file holds the ticked fragments in order with zero pages in the gaps and split pages
// repaired when sectorsPerCluster is below 16; no filling after the last fragment.
ExtractionResult ExtractTickedFragments(std::span<const FragmentNumbers> tickedRows, int sectorsPerCluster,
                                        FragmentSectorReader& reader, Observer& observer,
                                        const ExtractionDialogs& dialogs);

// The combined way alone, to the path chosen by `dialogs.chooseFile`.
ExtractionResult ExtractToCombinedFile(std::span<const FragmentNumbers> tickedRows, bool checkPageNumbers,
                                       int sectorsPerCluster, FragmentSectorReader& reader, Observer& observer,
                                       const ExtractionDialogs& dialogs);

// One file per fragment, named by its start sector with ".hex", in the folder chosen by
// `dialogs.chooseFolder`.
ExtractionResult ExtractToFragmentFiles(std::span<const FragmentNumbers> tickedRows, FragmentSectorReader& reader,
                                        Observer& observer, const ExtractionDialogs& dialogs);

// "取勾选碎片的文件名": for each ticked row that holds page 32, the database file name read
// from it ("none" when page 32 names none), shown in a message (title "提示"). Stops silently
// at the first ticked row without page 32, and after "read disk error". Returns the names shown.
std::vector<std::string> ShowTickedFileNames(std::span<const FragmentNumbers> tickedRows,
                                             FragmentSectorReader& reader, Observer& observer);

// The log sequence number of a file header page as 20 capital hexadecimal digits: the
// unsigned 32-bit values at 40 and 44 and the 16-bit value at 48, each most significant byte
// first, joined without separators.
std::string LogSequenceNumberText(PageBytes page);

// "取更新信息": for every row (ticked or not) that begins at page 0, its memo becomes the
// trimmed memo, a blank and the log sequence number text of its page 0. Ends with "处理完毕"
// (title "提示"), or after "read disk error" without it; false then.
bool AppendLogSequenceNumbers(std::span<Fragment> viewRows, FragmentSectorReader& reader, Observer& observer);

} // namespace vorthal
