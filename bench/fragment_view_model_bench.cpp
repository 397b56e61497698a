// The fragment list view's rows for a scan that found a million fragments: filling them from
// the FragmentList, sorting them by each column, and the filter (flags rewritten, rows refilled).
// Each must stay well below a second so that the window does not freeze.
#include <string>

#include <benchmark/benchmark.h>

#include "bench/synthetic_fragments.h"
#include "catalogue/fragment_view_model.h"
#include "scan/fragment_line.h"
#include "scan/fragment_list.h"

namespace vorthal {
namespace {

using bench::kMillion;

const FragmentList& MillionLines() {
    static const FragmentList list = [] {
        FragmentList made;
        for (const std::string& line : bench::SyntheticFragmentLines(bench::kMillion)) made.Append(line);
        return made;
    }();
    return list;
}

void BM_FillRows(benchmark::State& state) {
    const FragmentList& list = MillionLines();
    FragmentViewModel model;
    for (auto _ : state) {
        model.Fill(list);
        benchmark::DoNotOptimize(model.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_FillRows)->Unit(benchmark::kMillisecond);

// Each iteration sorts the rows as the scan left them (list order) by the column.
void BM_SortByColumn(benchmark::State& state) {
    const FragmentList& list = MillionLines();
    FragmentViewModel model;
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        model.Fill(list);
        state.ResumeTiming();
        model.SortByColumn(column);
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_SortByColumn)->DenseRange(kColumnRowNumber, kColumnEndSector)->Unit(benchmark::kMillisecond);

// Range 0: begin pages in a window that keeps about half; 1: the fragments holding one page.
void BM_FilterAndRefill(benchmark::State& state) {
    FragmentList list = MillionLines();
    FragmentViewModel model;
    const FragmentFilter filter = state.range(0) == 0
                                      ? FragmentFilter{FragmentFilter::Kind::kBeginPageRange, 0, 1000000, 0}
                                      : FragmentFilter{FragmentFilter::Kind::kContainsPage, 0, 0, 777777};
    for (auto _ : state) {
        ApplyFragmentFilter(list, filter);
        model.Fill(list);
        benchmark::DoNotOptimize(model.RowCount());
        state.PauseTiming();
        ApplyFragmentFilter(list, FragmentFilter{}); // every line visible again for the next round
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_FilterAndRefill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TickStatistics(benchmark::State& state) {
    FragmentViewModel model;
    model.Fill(MillionLines());
    model.TickAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(model.Statistics());
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_TickStatistics)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vorthal
