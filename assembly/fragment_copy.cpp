#include "assembly/fragment_copy.h"

#include <algorithm>

#include "assembly/split_page_repair.h"

namespace vorthal {

namespace {

// Pages asked for in one read; a failed chunk is read again page by page.
constexpr std::int64_t kPagesPerRead = 256;

std::int64_t SectorsOfPages(std::int64_t pages) { return pages * kSectorsPerPage; }

} // namespace

FragmentCopyResult CopyFragmentPages(const FragmentNumbers& fragment, FragmentSectorReader& reader,
                                     PageFileWriter& writer, Observer& observer, UnreadablePagePolicy policy,
                                     PageBuffer& lastPage) {
    FragmentCopyResult result;
    const std::int64_t pages = fragment.Pages();
    std::int64_t v = 0;
    while (v < pages) {
        const std::span<std::uint8_t> room =
            writer.ReservePages(static_cast<std::size_t>(std::min(pages - v, kPagesPerRead)));
        if (room.empty()) {
            result.writeFailed = true;
            return result;
        }
        const std::int64_t chunk = static_cast<std::int64_t>(room.size() / kPageSize);
        std::int64_t good = chunk;
        if (!reader.ReadFragmentSectors(fragment.startSector, SectorsOfPages(v),
                                        static_cast<std::int32_t>(SectorsOfPages(chunk)), room.data())) {
            good = 0;
            for (std::int64_t i = 0; i < chunk; ++i) {
                std::uint8_t* page = room.data() + i * static_cast<std::int64_t>(kPageSize);
                if (reader.ReadFragmentSectors(fragment.startSector, SectorsOfPages(v + i),
                                               static_cast<std::int32_t>(kSectorsPerPage), page)) {
                    ++good;
                    continue;
                }
                observer.ShowMessage(kDefaultMessageTitle, "read disk error", MessageIcon::Error);
                ++result.pagesUnreadable;
                if (policy == UnreadablePagePolicy::kStop) {
                    result.stoppedAtUnreadable = true;
                    result.pagesCopied += good;
                    writer.CommitPages(static_cast<std::size_t>(i));
                    if (i > 0) std::copy_n(page - kPageSize, kPageSize, lastPage.begin());
                    result.hasLastPage = result.hasLastPage || i > 0;
                    return result;
                }
                std::fill_n(page, kPageSize, std::uint8_t{0});
            }
        }
        result.pagesCopied += good;
        std::copy_n(room.data() + (chunk - 1) * static_cast<std::int64_t>(kPageSize), kPageSize, lastPage.begin());
        result.hasLastPage = true;
        writer.CommitPages(static_cast<std::size_t>(chunk));
        v += chunk;
    }
    return result;
}

JointRepairOutcome RepairJointPage(PageBuffer& jointPage, SectorNumber nextStart, int sectorsPerCluster,
                                   FragmentSectorReader& reader, PageFileWriter& writer) {
    std::array<std::uint8_t, kFragmentPrefixBytes> prefix{};
    if (!reader.ReadFragmentSectors(nextStart, -kFragmentPrefixSectors,
                                    static_cast<std::int32_t>(kFragmentPrefixSectors), prefix.data())) {
        return JointRepairOutcome::kPrefixUnreadable;
    }
    const std::optional<int> taken = RepairSplitPage(jointPage, prefix, sectorsPerCluster);
    if (!taken || *taken == 0) return JointRepairOutcome::kUnchanged;
    return writer.ReplaceLastPage(jointPage) ? JointRepairOutcome::kRepaired : JointRepairOutcome::kWriteFailed;
}

} // namespace vorthal
