// TForm1: the fragment list of tab II (sort, filter, tick tools, statistics, clipboard) and its
// two buttons that save a scan to files and open it again.
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>

#include "app/main_window.h"
#include "app/number_edits.h"

namespace vorthal {
namespace {

const char* const kSaveScanInfoTitle = "保存扫描信息,请注意别保存到原数据所在盘，防止覆盖";
const char* const kSaveContentQuestionTitle = "保存碎片内容";
const char* const kSaveContentQuestion = "已经保存了扫描信息。是否需要保存所有碎片的内容";
const char* const kSaveContentTitle = "保存所有碎片的内容,请注意别保存到原数据所在盘，防止覆盖";
const char* const kProposedContentName = "spcontent";
const char* const kOpenScanInfoTitle = "打开扫描信息文件";
const char* const kOpenContentQuestionTitle = "打开碎片内容";
const char* const kOpenContentQuestion = "已经打开了扫描信息。是否需要打开所有碎片的内容文件";
const char* const kOpenContentTitle = "打开碎片内容文件";
const char* const kAnyFileFilter = "所有文件(*.*) (*)";
// The cluster size taken when edtsecs holds no number as a scan info file is opened.
constexpr std::int64_t kDefaultSectorsPerCluster = 8;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::filesystem::path PathOf(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// The window's observer for file operations on the interface thread: the gauge moves and the
// window repaints meanwhile, but takes no clicks, so nothing else starts under the operation.
class BusyWindowObserver final : public Observer {
  public:
    explicit BusyWindowObserver(Observer& window) : window_(window) {}
    void AppendLog(LogPane pane, const std::string& line) override { window_.AppendLog(pane, line); }
    void ClearLog(LogPane pane) override { window_.ClearLog(pane); }
    void SetGauge(int percent) override {
        window_.SetGauge(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void SetStatus(const std::string& text) override { window_.SetStatus(text); }
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        window_.ShowMessage(title, text, icon);
    }
    bool AskYesNo(const std::string& title, const std::string& question) override {
        return window_.AskYesNo(title, question);
    }

  private:
    Observer& window_;
};

} // namespace

void TForm1::ConnectFragmentListTab() {
    FragmentTableModel* model = tabII_.fragmentModel;
    connect(tabII_.ListView2->header(), &QHeaderView::sectionClicked, this, &TForm1::ListView2ColumnClick);
    connect(tabII_.edtfilter, &QPushButton::clicked, this, &TForm1::edtfilterClick);
    connect(tabII_.N10, &QAction::triggered, model, &FragmentTableModel::TickAll);
    connect(tabII_.N14, &QAction::triggered, model, &FragmentTableModel::ClearTicks);
    connect(tabII_.N15, &QAction::triggered, model, &FragmentTableModel::InvertTicks);
    connect(tabII_.N12, &QAction::triggered, this, &TForm1::N12Click);
    connect(tabII_.N13, &QAction::triggered, this, &TForm1::N13Click);
    connect(tabII_.btnsave, &QPushButton::clicked, this, &TForm1::btnsaveClick);
    connect(tabII_.Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    // Their work arrives with the extraction tools and the combination list.
    for (QAction* waiting : {tabII_.N9, tabII_.N16, tabII_.N17, tabII_.N18})
        waiting->setEnabled(false);
}

void TForm1::FillFragmentView() {
    tabII_.fragmentModel->Fill(session_->fragments);
}

// While a scan runs (and no stop was asked for) the order stays as it is.
void TForm1::ListView2ColumnClick(int column) {
    if (!session_->scanStopped)
        return;
    fragmentSortColumn_ = column;
    tabII_.fragmentModel->SortByColumn(column);
}

void TForm1::edtfilterClick() {
    FragmentFilter filter;
    if (tabII_.rb3->isChecked()) {
        filter.kind = FragmentFilter::Kind::kShowAll;
    } else if (tabII_.rb1->isChecked()) {
        const std::optional<std::int32_t> low = ReadInt32Edit(*tabII_.Edit1, dialogs_);
        const std::optional<std::int32_t> high =
            low ? ReadInt32Edit(*tabII_.edtendid, dialogs_) : std::nullopt;
        if (!high)
            return;
        filter = {FragmentFilter::Kind::kBeginPageRange, *low, *high, 0};
    } else if (tabII_.rb2->isChecked()) {
        const std::optional<std::int32_t> page = ReadInt32Edit(*tabII_.edtpgid, dialogs_);
        if (!page)
            return;
        filter = {FragmentFilter::Kind::kContainsPage, 0, 0, *page};
    } else {
        return;
    }
    // The flags are the worker's FragmentList's: not while it appends.
    if (RefuseWhileRunActive())
        return;
    ApplyFragmentFilter(session_->fragments, filter);
    FillFragmentView();
}

void TForm1::N12Click() {
    const TickStatistics statistics = tabII_.fragmentModel->Rows().Statistics();
    dialogs_.ShowMessage(kDefaultMessageTitle, Text(StatisticsMessage(statistics)), MessageIcon::Information);
}

void TForm1::N13Click() {
    const QModelIndexList selected = tabII_.ListView2->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const auto row = static_cast<std::size_t>(selected.first().row());
    const std::string start = tabII_.fragmentModel->Rows().CellText(row, kColumnStartSector);
    QGuiApplication::clipboard()->setText(Text(start).trimmed());
}

void TForm1::btnsaveClick() {
    if (RefuseWhileRunActive())
        return;
    const QString infoPath = dialogs_.GetSaveFileName(kSaveScanInfoTitle, QString());
    if (!infoPath.isEmpty()) {
        if (const std::optional<ScanInfoError> error = session_->SaveScanInfo(PathOf(infoPath))) {
            dialogs_.ShowMessage(kDefaultMessageTitle, Text(error->Describe()), MessageIcon::Error);
            return;
        }
    }
    if (!dialogs_.Ask(kSaveContentQuestionTitle, kSaveContentQuestion))
        return;
    const QString contentPath = dialogs_.GetSaveFileName(kSaveContentTitle, kProposedContentName);
    if (contentPath.isEmpty())
        return;
    BusyWindowObserver busy(observer_);
    session_->SaveContentFile(PathOf(contentPath), busy); // it says success or what failed
}

void TForm1::Button3Click() {
    if (RefuseWhileRunActive())
        return;
    ShowTabFromProgram(2);
    ShowTabFromProgram(1);
    const QString infoPath = dialogs_.GetOpenFileName(kOpenScanInfoTitle, kAnyFileFilter);
    if (!infoPath.isEmpty()) {
        const std::optional<std::int32_t> fileNumber = ReadInt32Edit(*tabI_.Edit2, dialogs_);
        if (!fileNumber)
            return;
        // A file that cannot be read whole leaves the list as it was, and the operation ends.
        if (const std::optional<ScanInfoError> error = session_->OpenScanInfo(PathOf(infoPath))) {
            dialogs_.ShowMessage(kDefaultMessageTitle, Text(error->Describe()), MessageIcon::Error);
            return;
        }
        targetFileNumber_ = static_cast<std::uint16_t>(*fileNumber);
        session_->targetFileNumber = targetFileNumber_;
        FillFragmentView();
        const std::optional<std::int64_t> secs =
            ParseInt64Text(tabI_.edtsecs->text().trimmed().toStdString());
        session_->dataSource.sectorsPerCluster = secs ? *secs : kDefaultSectorsPerCluster;
    } else {
        BuildPageOrderIndex(session_->fragments, session_->pageOrderIndex);
    }
    if (dialogs_.Ask(kOpenContentQuestionTitle, kOpenContentQuestion))
        OpenContentFileOfScan();
}

void TForm1::OpenContentFileOfScan() {
    const QString contentPath = dialogs_.GetOpenFileName(kOpenContentTitle, kAnyFileFilter);
    if (contentPath.isEmpty())
        return;
    if (const std::optional<std::string> error = session_->OpenContentFile(PathOf(contentPath))) {
        dialogs_.ShowMessage(kDefaultMessageTitle, Text(std::string(kCannotOpenFileMessage) + "\n" + *error),
                             MessageIcon::Error);
        return;
    }
    // The saved cluster size is taken only where the operator gave none.
    if (tabI_.edtsecs->text().trimmed().isEmpty()) {
        session_->dataSource.sectorsPerCluster = session_->contentFile.SavedSectorsPerCluster();
        tabI_.edtsecs->setText(QString::number(session_->contentFile.SavedSectorsPerCluster()));
    }
}

} // namespace vorthal
