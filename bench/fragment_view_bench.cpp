// The window's fragment list (the model over the rows, in the list widget, offscreen) with a
// million fragments: filled at once, grown by a scan in the batches the window takes, and sorted
// by header clicks, each followed by the widget's layout and a paint of what it shows.
#include <QApplication>
#include <QHeaderView>
#include <QTreeView>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/fragment_table_model.h"
#include "bench/synthetic_fragments.h"
#include "app/report_view.h"
#include "scan/fragment_line.h"

namespace vorthal {
namespace {

using bench::kMillion;

// Rows a scan finding fragments at full speed queues between two takes of the window.
constexpr std::size_t kBatchRows = 20000;

const std::vector<std::string>& MillionLines() {
    static const std::vector<std::string> lines = bench::SyntheticFragmentLines(bench::kMillion);
    return lines;
}

const FragmentList& MillionLineList() {
    static const FragmentList list = [] {
        FragmentList made;
        for (const std::string& line : MillionLines())
            made.Append(line);
        return made;
    }();
    return list;
}

// The list widget as the window makes it, shown at the window's size.
struct ShownList {
    ShownList()
        : model(new FragmentTableModel(ReportCaptions(Columns()), nullptr)),
          view(MakeReportView("ListView2", Columns(), nullptr, model)) {
        model->setParent(view);
        view->resize(990, 480);
        view->show();
        Settle();
    }
    ~ShownList() { delete view; }
    static std::vector<ReportColumn> Columns() {
        return {{"序号", 100}, {"碎片大小(KB)", 80}, {"开始页面号", 80}, {"结束页面号", 80},
                {"备注", 800}, {"开始扇区", 0},      {"结束扇区", 0}};
    }
    // Lays the widget out and paints what it shows, as the event loop would next.
    void Settle() {
        QApplication::processEvents();
        view->viewport()->repaint();
    }

    FragmentTableModel* model;
    QTreeView* view;
};

void BM_ListFill(benchmark::State& state) {
    MillionLineList(); // made once, outside the timing
    ShownList list;
    for (auto _ : state) {
        list.model->Fill(MillionLineList());
        list.Settle();
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_ListFill)->Unit(benchmark::kMillisecond);

// A scan's million rows arriving in batches, the widget settling after each.
void BM_ListScanBatches(benchmark::State& state) {
    std::vector<std::vector<FragmentRowEvent>> batches;
    for (std::size_t first = 0; first < MillionLines().size(); first += kBatchRows) {
        std::vector<FragmentRowEvent>& batch = batches.emplace_back();
        for (std::size_t i = first; i < std::min(first + kBatchRows, MillionLines().size()); ++i)
            batch.push_back({false, MillionLines()[i]});
    }
    for (auto _ : state) {
        state.PauseTiming();
        ShownList list;
        state.ResumeTiming();
        for (const std::vector<FragmentRowEvent>& batch : batches) {
            list.model->Apply(batch);
            list.Settle();
        }
        state.PauseTiming();
        benchmark::DoNotOptimize(list.model->rowCount());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_ListScanBatches)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ListSortByColumn(benchmark::State& state) {
    MillionLineList();
    ShownList list;
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        list.model->Fill(MillionLineList());
        list.Settle();
        state.ResumeTiming();
        list.model->SortByColumn(column);
        list.Settle();
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_ListSortByColumn)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vorthal

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
