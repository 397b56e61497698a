#include "assembly/mdf_builder.h"

#include <cmath>

#include "assembly/fragment_copy.h"
#include "assembly/page_file_writer.h"

namespace vorthal {

std::string ProposedOutputName(std::string_view fileName) {
    const std::size_t slash = fileName.rfind('\\');
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

namespace {

// Percent of rows done, rounded to the nearest integer.
int RowProgress(std::size_t row, std::size_t rowCount) {
    return static_cast<int>(std::lround(static_cast<double>(row) * 100.0 / static_cast<double>(rowCount - 1)));
}

MdfBuildResult WriteFailure(MdfBuildResult result, const PageFileWriter& writer, Observer& observer) {
    result.status = MdfBuildResult::Status::kWriteFailed;
    result.error = writer.Error();
    result.pagesWritten = writer.PagesAppended();
    observer.ShowMessage(kDefaultMessageTitle, "error," + writer.Error(), MessageIcon::Error);
    return result;
}

} // namespace

MdfBuildResult BuildMdf(const MdfBuildInput& input, FragmentSectorReader& reader, Observer& observer,
                        const ChooseOutputPath& chooseOutputPath) {
    MdfBuildResult result;
    observer.ClearLog(LogPane::Assembly);
    const std::span<const FragmentNumbers> rows = input.rows;
    if (rows.empty() || rows.front().beginPage != 0) return result;

    const std::optional<std::string> path = chooseOutputPath(ProposedOutputName(input.fileName));
    if (!path) {
        result.status = MdfBuildResult::Status::kCancelled;
        return result;
    }
    result.outputPath = *path;
    PageFileWriter writer;
    if (!writer.Create(*path)) {
        result.status = MdfBuildResult::Status::kCannotCreate;
        result.error = writer.Error();
        observer.ShowMessage(kDefaultMessageTitle, "error,无法创建文件", MessageIcon::Error);
        return result;
    }

    PageBuffer jointPage{};
    bool jointIsLastPage = false; // jointPage is the page appended last
    for (std::size_t s = 0; s < rows.size(); ++s) {
        if (rows.size() > 1) observer.SetGauge(RowProgress(s, rows.size()));
        const FragmentNumbers& row = rows[s];
        if (s > 0) {
            const std::int32_t previousEnd = rows[s - 1].endPage;
            if (previousEnd < row.beginPage) {
                const std::int64_t gap = static_cast<std::int64_t>(row.beginPage) - previousEnd;
                if (!writer.AppendZeroPages(gap)) return WriteFailure(result, writer, observer);
                result.pagesZeroFilled += gap;
                jointIsLastPage = false;
            } else if (previousEnd == row.beginPage && input.sectorsPerCluster > 0 && input.sectorsPerCluster < 16 && jointIsLastPage) {
                switch (RepairJointPage(jointPage, row.startSector, input.sectorsPerCluster, reader, writer)) {
                case JointRepairOutcome::kRepaired: ++result.splitPagesRepaired; break;
                case JointRepairOutcome::kPrefixUnreadable:
                    // No repair from bytes that were not read: the page stays as read.
                    observer.ShowMessage(kDefaultMessageTitle, "read disk error ,leftpage", MessageIcon::Error);
                    break;
                case JointRepairOutcome::kWriteFailed: return WriteFailure(result, writer, observer);
                case JointRepairOutcome::kUnchanged: break;
                }
            }
        }
        const FragmentCopyResult copy =
            CopyFragmentPages(row, reader, writer, observer, UnreadablePagePolicy::kWriteZeros, jointPage);
        result.pagesCopied += copy.pagesCopied;
        result.pagesUnreadable += copy.pagesUnreadable;
        if (copy.writeFailed) return WriteFailure(result, writer, observer);
        if (copy.hasLastPage) jointIsLastPage = true;
    }

    const std::int32_t lastEnd = rows.back().endPage;
    if (lastEnd < input.sizePages) {
        const std::int64_t fill = static_cast<std::int64_t>(input.sizePages) - lastEnd;
        if (!writer.AppendZeroPages(fill)) return WriteFailure(result, writer, observer);
        result.pagesZeroFilled += fill;
    }
    if (!writer.Finish()) return WriteFailure(result, writer, observer);
    result.pagesWritten = writer.PagesAppended();
    result.status = MdfBuildResult::Status::kBuilt;
    observer.AppendLog(LogPane::Assembly, "组合完毕");
    return result;
}

} // namespace vorthal
