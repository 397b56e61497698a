// TForm1: starting, stopping and ending runs on the worker thread, and the close rule.
#include <QCloseEvent>
#include <QEventLoop>

#include "app/main_window.h"
#include "app/number_edits.h"

namespace vorthal {
namespace {

inline constexpr const char* kNoSourceMessage = "请选择数据源！";
inline constexpr const char* kRunActiveMessage = "尚未扫描结束";
inline constexpr const char* kInvalidScanOptionsMessage =
    "扫描设置无效：开始扇区不能为负数，每簇扇区数至少为1";

} // namespace

void TForm1::btnscanClick() {
    const std::optional<std::int32_t> fileNumber = ReadInt32Edit(*tabI_.Edit2, dialogs_);
    if (!fileNumber)
        return;
    targetFileNumber_ = static_cast<std::uint16_t>(*fileNumber); // its low 16 bits
    N2Click();
}

void TForm1::N2Click() {
    if (!session_->dataSource.sourceChosen) {
        dialogs_.ShowMessage(kDefaultMessageTitle, kNoSourceMessage, MessageIcon::Warning);
        tabI_.edtDataStr->setFocus();
        return;
    }
    // The options are read here, on the interface thread, so that a field that is no number is
    // said before anything starts.
    const std::optional<ScanOptions> options = ReadScanOptions();
    if (!options)
        return;
    // Passing tabs III and II lays them out before the scan fills them; the window ends on tab I.
    ShowTabFromProgram(2);
    ShowTabFromProgram(1);
    ShowTabFromProgram(0);
    // Later scans are started from the menu, whose entry stays enabled.
    tabI_.btnscan->setEnabled(false);
    DisableScanOptions();
    session_->scanStopped = false;
    RunWork work;
    work.scan = [this, scanOptions = *options] { ScanOnWorker(scanOptions); };
    StartRun(kScanRunMode, std::move(work));
}

std::optional<ScanOptions> TForm1::ReadScanOptions() {
    ScanOptions options;
    const std::optional<std::int64_t> end = ReadInt64Edit(*tabI_.edtend, dialogs_);
    const std::optional<std::int64_t> begin = end ? ReadInt64Edit(*tabI_.edtbegin, dialogs_) : std::nullopt;
    const std::optional<std::int64_t> step = begin ? ReadInt64Edit(*tabI_.edtsecs, dialogs_) : std::nullopt;
    if (!step)
        return std::nullopt;
    if (*begin < 0 || *step < 1) {
        dialogs_.ShowMessage(kDefaultMessageTitle, kInvalidScanOptionsMessage, MessageIcon::Warning);
        return std::nullopt;
    }
    options.beginSector = *begin;
    options.endSector = *end;
    options.step = *step;
    options.freeSpaceOnly = tabI_.chkfreespace->isChecked();
    options.limitBeginPage = tabI_.CheckBox1->isChecked();
    if (options.limitBeginPage) {
        const std::optional<std::int64_t> maxBeginPage = ReadInt64Edit(*tabI_.edtmaxpageid, dialogs_);
        if (!maxBeginPage)
            return std::nullopt;
        options.maxBeginPage = *maxBeginPage;
    }
    options.targetFileNumber = targetFileNumber_;
    return options;
}

// The scan's options stay as they were for the whole run; choosing a source enables the
// free-space option again where it applies.
void TForm1::DisableScanOptions() {
    for (QWidget* option :
         std::initializer_list<QWidget*>{tabI_.chkfreespace, tabI_.edtbegin, tabI_.edtend, tabI_.edtsecs,
                                         tabI_.CheckBox1, tabI_.edtmaxpageid})
        option->setEnabled(false);
}

void TForm1::btnstopClick() {
    session_->scanStopped = true;
}

void TForm1::StartRun(const char* runMode, RunWork work) {
    work.failed = [this](const std::string& what) {
        observer_.ShowMessage(kDefaultMessageTitle, what, MessageIcon::Error);
    };
    auto* worker = new TMyThread(runMode, runSemaphore_, std::move(work));
    ++activeRuns_;
    rowTimer_->start();
    connect(worker, &QThread::finished, this, [this, worker] { RunFinished(worker); });
    worker->start();
}

void TForm1::RunFinished(TMyThread* worker) {
    worker->wait(); // it has left run(); only its last steps remain
    delete worker;
    ShowQueuedFragmentRows();
    if (--activeRuns_ > 0)
        return;
    rowTimer_->stop();
    emit RunsFinished();
}

// On the worker thread.
void TForm1::ScanOnWorker(const ScanOptions& options) {
    ScanWindowObserver observer(observer_, fragmentRows_, [this] {
        QMetaObject::invokeMethod(this, &TForm1::ShowQueuedFragmentRows, Qt::BlockingQueuedConnection);
    });
    session_->RunScan(options, observer);
    observer.ShowQueuedRows();
}

void TForm1::ShowQueuedFragmentRows() {
    std::vector<FragmentRowEvent> events = fragmentRows_.TakeAll();
    if (!events.empty())
        tabII_.fragmentModel->Apply(events);
}

bool TForm1::RefuseWhileRunActive() {
    if (!RunActive())
        return false;
    dialogs_.ShowMessage(kDefaultMessageTitle, kRunActiveMessage, MessageIcon::Information);
    return true;
}

// A scan is asked to stop; an analysis cannot be stopped and is waited for. The window goes on
// carrying out what the runs report meanwhile, so a worker waiting for it cannot block the wait.
void TForm1::WaitForRuns() {
    if (!RunActive())
        return;
    session_->scanStopped = true;
    QEventLoop loop;
    connect(this, &TForm1::RunsFinished, &loop, &QEventLoop::quit);
    if (RunActive())
        loop.exec();
}

void TForm1::closeEvent(QCloseEvent* event) {
    WaitForRuns();
    QMainWindow::closeEvent(event);
}

} // namespace vorthal
