// The PageOrderIndex is rebuilt at the end of every scan and after every load of a scan info
// file; a large disk gives millions of fragments, many sharing a begin page.
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "scan/fragment_line.h"
#include "scan/fragment_list.h"
#include "scan/page_order_index.h"

namespace vorthal {
namespace {

// `count` fragment lines of 1 to 64 pages with begin pages drawn from 0 to `maxBeginPage`.
FragmentList MakeList(std::int64_t count, std::int32_t maxBeginPage) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::int32_t> beginPages(0, maxBeginPage);
    std::uniform_int_distribution<std::int32_t> pageCounts(1, 64);
    FragmentList list;
    SectorNumber sector = 2048;
    for (std::int64_t i = 0; i < count; ++i) {
        Fragment fragment;
        const std::int32_t pages = pageCounts(random);
        fragment.number = static_cast<std::int32_t>(i + 1);
        fragment.startSector = sector;
        fragment.endSector = sector + kSectorsPerPage * pages;
        fragment.sizeKb = 8 * pages;
        fragment.beginPage = beginPages(random);
        fragment.endPage = fragment.beginPage + pages;
        list.Append(BuildFragmentLine(fragment));
        sector = fragment.endSector + 64;
    }
    return list;
}

void BM_BuildPageOrderIndex(benchmark::State& state) {
    const FragmentList list = MakeList(state.range(0), static_cast<std::int32_t>(state.range(1)));
    PageOrderIndex index;
    for (auto _ : state) {
        const bool built = BuildPageOrderIndex(list, index);
        benchmark::DoNotOptimize(built);
        benchmark::DoNotOptimize(index.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildPageOrderIndex)
    ->Args({2'000'000, 50'000})
    ->Args({2'000'000, 100})
    ->Args({100'000, 50'000})
    ->Unit(benchmark::kMillisecond);

void BM_AppendFragmentLines(benchmark::State& state) {
    const std::string line = "123456|1234567890|1234568914|512|654321|654385| |Y|";
    for (auto _ : state) {
        FragmentList list;
        for (std::int64_t i = 0; i < state.range(0); ++i) list.Append(line);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendFragmentLines)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vorthal
