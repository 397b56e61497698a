#include "assembly/fragment_copy.h"

#include <algorithm>

#include "assembly/split_page_repair.h"

namespace vorthal {

FragmentCopyResult CopyFragmentPages(const FragmentNumbers& fragment, FragmentSectorReader& reader,
                                     PageFileWriter& writer, Observer& observer, UnreadablePagePolicy policy,
                                     PageBuffer& lastPage) {
    FragmentCopyResult result;
    const std::int64_t pages = fragment.Pages();
    std::int64_t v = 0;
    while (v < pages) {
        // Pages are read one at a time (a content file unscrambles page reads only) straight
        // into the room the writer has left.
        const std::span<std::uint8_t> room = writer.ReservePages(static_cast<std::size_t>(pages - v));
        if (room.empty()) {
            result.writeFailed = true;
            return result;
        }
        const std::size_t roomPages = room.size() / kPageSize;
        for (std::size_t i = 0; i < roomPages; ++i, ++v) {
            std::uint8_t* page = room.data() + i * kPageSize;
            if (reader.ReadFragmentSectors(fragment.startSector, v * kSectorsPerPage,
                                           static_cast<std::int32_t>(kSectorsPerPage), page)) {
                ++result.pagesCopied;
            } else {
                observer.ShowMessage(kDefaultMessageTitle, "read disk error", MessageIcon::Error);
                ++result.pagesUnreadable;
                if (policy == UnreadablePagePolicy::kStop) {
                    result.stoppedAtUnreadable = true;
                    if (i > 0) {
                        std::copy_n(page - kPageSize, kPageSize, lastPage.begin());
                        result.hasLastPage = true;
                    }
                    writer.CommitPages(i);
                    return result;
                }
                std::fill_n(page, kPageSize, std::uint8_t{0});
            }
        }
        std::copy_n(room.data() + (roomPages - 1) * kPageSize, kPageSize, lastPage.begin());
        result.hasLastPage = true;
        writer.CommitPages(roomPages);
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
