// The recovery of one large database file from an image in the page cache: analysis, second
// search, check and build of a 1 GiB database in 20 fragments lying among 2,000 fragments of
// another database, measured beside dd reading 1 GiB of the same image.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "disk/linux_devices.h"
#include "disk/source_selection.h"
#include "scan/page_order_index.h"
#include "tests/fixtures/database_builder.h"
#include "tests/fixtures/recording_observer.h"
#include "workflow/recover.h"
#include "workflow/session.h"

namespace vorthal {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kTargetPages = 131072; // 1 GiB
constexpr int kTargetFragments = 20;
constexpr std::int32_t kOtherPages = 32000;
constexpr std::int32_t kOtherFragmentPages = 16; // 2,000 fragments
constexpr SectorNumber kFirstSector = 2048;

struct Placement {
    bool target = false;
    std::int32_t beginPage = 0;
    std::int32_t pages = 0;
    SectorNumber startSector = 0;
};

fs::path BenchDir() {
    const char* dir = std::getenv("VORTHAL_BENCH_DIR");
    return dir != nullptr ? fs::path(dir) : fs::temp_directory_path() / "vorthal-bench";
}
fs::path ImagePath() { return BenchDir() / "recover-1gib.img"; }

// The target's fragments in shuffled order, 100 fragments of the other database after each,
// every fragment followed by one free page so that none touches the next.
std::vector<Placement> Layout() {
    std::vector<Placement> target;
    const std::int32_t size = kTargetPages / kTargetFragments + 1;
    for (std::int32_t begin = 0; begin < kTargetPages; begin += size)
        target.push_back({true, begin, std::min(size, kTargetPages - begin), 0});
    std::mt19937 random(2026);
    std::shuffle(target.begin() + 1, target.end(), random);
    std::vector<Placement> layout;
    SectorNumber sector = kFirstSector;
    const auto place = [&](Placement p) {
        p.startSector = sector;
        sector += (p.pages + 1) * kSectorsPerPage;
        layout.push_back(p);
    };
    std::int32_t otherBegin = 0;
    const std::int32_t othersPerSlot = kOtherPages / kOtherFragmentPages / kTargetFragments;
    for (const Placement& p : target) {
        place(p);
        for (int k = 0; k < othersPerSlot; ++k, otherBegin += kOtherFragmentPages)
            place({false, otherBegin, kOtherFragmentPages, 0});
    }
    return layout;
}

// One object between each two PFS pages (every 8,088 pages), with its IAM page at the start.
fixtures::DatabaseSpec Spec(bool target) {
    fixtures::DatabaseSpec spec;
    spec.pages = target ? kTargetPages : kOtherPages;
    spec.path = target ? u"D:\\Data\\large.mdf" : u"D:\\Data\\other.mdf";
    const std::int32_t firstObjectId = target ? 1000 : 2000;
    for (std::int32_t interval = 0; interval * fixtures::kPfsInterval < spec.pages; ++interval) {
        const std::int32_t base = interval * fixtures::kPfsInterval;
        const std::int32_t first = interval == 0 ? 40 : base + 8;
        const std::int32_t end = std::min(base + fixtures::kPfsInterval, spec.pages);
        if (end <= first) break;
        spec.objects.push_back({.objectId = firstObjectId + interval, .iamPage = interval == 0 ? 34 : base + 2,
                                .firstPage = first, .pageCount = end - first});
    }
    return spec;
}

void WriteDatabase(int fd, bool target, const std::vector<Placement>& layout) {
    const std::vector<fixtures::Page> pages = fixtures::BuildDatabasePages(Spec(target));
    for (const Placement& p : layout) {
        if (p.target != target) continue;
        for (std::int32_t i = 0; i < p.pages; ++i) {
            const off_t offset = static_cast<off_t>((p.startSector + i * kSectorsPerPage) * static_cast<SectorNumber>(kSectorSize));
            if (pwrite(fd, pages[static_cast<std::size_t>(p.beginPage + i)].data(), kPageSize, offset) != static_cast<ssize_t>(kPageSize))
                std::_Exit(1);
        }
    }
}

// Built once, in a child process, so that generating 1 GiB of pages does not count in the
// benchmark's peak memory.
bool EnsureImage() {
    if (fs::exists(ImagePath())) return true;
    fs::create_directories(BenchDir());
    const pid_t child = fork();
    if (child == 0) {
        const std::vector<Placement> layout = Layout();
        const fs::path partial = ImagePath().string() + ".part";
        const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) std::_Exit(1);
        WriteDatabase(fd, true, layout);
        WriteDatabase(fd, false, layout);
        const Placement& last = layout.back();
        if (ftruncate(fd, static_cast<off_t>((last.startSector + (last.pages + 2048) * kSectorsPerPage) * 512)) != 0) std::_Exit(1);
        if (close(fd) != 0) std::_Exit(1);
        fs::rename(partial, ImagePath());
        std::_Exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

FragmentList FragmentsOf(const std::vector<Placement>& layout) {
    FragmentList list;
    std::int32_t number = 1;
    for (const Placement& p : layout) {
        Fragment f;
        f.number = number++;
        f.startSector = p.startSector;
        f.endSector = p.startSector + p.pages * kSectorsPerPage;
        f.sizeKb = 8 * static_cast<std::int64_t>(p.pages);
        f.beginPage = p.beginPage;
        f.endPage = p.beginPage + p.pages;
        if (p.beginPage == 0) f.memo = p.target ? "D:\\Data\\large.mdf:1048576KB" : "D:\\Data\\other.mdf:256000KB";
        list.Append(BuildFragmentLine(f));
    }
    return list;
}

void ReadWithDd(benchmark::State& state) {
    if (!EnsureImage()) return state.SkipWithError("cannot build the image");
    const std::string command = "dd if=" + ImagePath().string() + " of=/dev/null bs=6M count=171 status=none";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) return state.SkipWithError("dd failed");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(state.iterations() * 171LL * 6 * 1024 * 1024);
}

void AnalyseSearchAndBuild(benchmark::State& state) {
    if (!EnsureImage()) return state.SkipWithError("cannot build the image");
    const std::vector<Placement> layout = Layout();
    Session session(std::make_unique<LinuxDevicePlatform>());
    session.fragments = FragmentsOf(layout);
    if (!BuildPageOrderIndex(session.fragments, session.pageOrderIndex)) return state.SkipWithError("no index");
    fixtures::RecordingObserver observer; // answers No: a whole disk
    SourceSelection selection = session.Selection(observer);
    if (!ChooseImageFile(selection, *session.deviceOpener, ImagePath().string())) return state.SkipWithError("no image");
    const RecoverInputs inputs{session.fragments, session.pageOrderIndex, session, 8, false, observer};
    DatabaseFileRow row;
    row.startSector = layout.front().startSector;
    row.sizeKb = 8 * static_cast<std::int64_t>(layout.front().pages);
    // The rebuilt file goes beside the image unless VORTHAL_BENCH_OUTPUT names another place.
    const char* outputOverride = std::getenv("VORTHAL_BENCH_OUTPUT");
    const std::string output = outputOverride != nullptr ? outputOverride : (BenchDir() / "large.mdf").string();
    // The whole image into the page cache first, as dd has it.
    if (std::system(("cat " + ImagePath().string() + " >/dev/null").c_str()) != 0) return state.SkipWithError("cannot read the image");
    for (auto _ : state) {
        const FileRecovery result = RebuildDatabaseFile(inputs, row, [&](const std::string&) { return output; });
        if (!result.Succeeded() || result.build.pagesCopied != kTargetPages) return state.SkipWithError(result.failure.c_str());
        state.counters["fragments_chained"] = static_cast<double>(result.fragmentsChained);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kTargetPages) * static_cast<std::int64_t>(kPageSize));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    if (outputOverride == nullptr) fs::remove(output);
}

BENCHMARK(ReadWithDd)->Name("dd_read_1GiB")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AnalyseSearchAndBuild)->Name("recover_1GiB_among_2000_fragments")->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace vorthal
