#include "app/main_window.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/about_window.h"
#include "app/named_widget.h"

namespace vorthal {
namespace {

constexpr int kStatusPanelWidth = 200;
constexpr int kTabFontPixels = 14;
// How often the window takes the rows a running scan has queued.
constexpr int kRowIntervalMilliseconds = 100;

} // namespace

TForm1::TForm1(Dialogs& dialogs, std::unique_ptr<DevicePlatform> platform)
    : dialogs_(dialogs), platform_(*platform), session_(std::make_unique<Session>(std::move(platform))),
      observer_(*this, dialogs), sourceMenu_(BuildDataSourceMenu(platform_)) {
    setObjectName("TForm1");
    setWindowTitle("Vorthal Recover for SQLSERVER");
    // Fixed border: system menu, minimise and close only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    BuildMainMenu();
    setCentralWidget(BuildCentralArea());
    BuildStatusBar();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    BuildSourceMenuEntries();
    ConnectFragmentListTab();
    rowTimer_ = new QTimer(this);
    rowTimer_->setInterval(kRowIntervalMilliseconds);
    connect(rowTimer_, &QTimer::timeout, this, &TForm1::ShowQueuedFragmentRows);
}

TForm1::~TForm1() {
    WaitForRuns();
}

void TForm1::BuildMainMenu() {
    QMenuBar* mm1 = menuBar();
    mm1->setObjectName("mm1");
    auto* N1 = MakeNamed<QMenu>("N1", "操作(OPERATION)", mm1);
    mm1->addMenu(N1);
    connect(AddNamedEntry(N1, "N2", "开始扫描(SCAN)"), &QAction::triggered, this, &TForm1::N2Click);
    connect(AddNamedEntry(N1, "N3", "停止扫描(STOP)"), &QAction::triggered, this, &TForm1::btnstopClick);
    N1->addSeparator()->setObjectName("N4");
    // "退出" closes the window, as operators expect of an exit entry.
    connect(AddNamedEntry(N1, "N5", "退出"), &QAction::triggered, this, &QWidget::close);
    QAction* N6 = mm1->addAction("关于(ABOUT)");
    N6->setObjectName("N6");
    connect(N6, &QAction::triggered, this, &TForm1::ShowAboutWindow);
}

QWidget* TForm1::BuildCentralArea() {
    auto* central = MakeNamed<QWidget>("centralArea", this);
    PageControl1 = MakeNamed<QTabWidget>("PageControl1", central);
    // The tab captions are larger than the window's text; the controls on the tabs keep the
    // window's font so that the list headers fit their start widths.
    QFont tabFont = PageControl1->tabBar()->font();
    tabFont.setPixelSize(kTabFontPixels);
    PageControl1->tabBar()->setFont(tabFont);

    tabI_ = BuildDataSourceTab(PageControl1);
    tabII_ = BuildFragmentListTab(PageControl1);
    tabIII_ = BuildFileCatalogueTab(PageControl1);
    tabIV_ = BuildCombinationTab(PageControl1);
    PageControl1->addTab(tabI_.TabSheet1, "  Ⅰ  选择数据源(DATA SOURCE)     ");
    PageControl1->addTab(tabII_.TabSheet2, "  Ⅱ  碎片列表(FRAGMENT LIST )        ");
    PageControl1->addTab(tabIII_.TabSheet3, "  Ⅲ  分析碎片(FILTER)       ");
    PageControl1->addTab(tabIV_.TabSheet4, "   Ⅳ  组合MDF(CREATE MDF)     ");
    PageControl1->setCurrentIndex(0);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);

    connect(tabI_.Label7, &LinkLabel::clicked, this, &TForm1::Label7Click);
    connect(tabI_.CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(tabI_.btnscan, &QPushButton::clicked, this, &TForm1::btnscanClick);
    connect(tabI_.btnstop, &QPushButton::clicked, this, &TForm1::btnstopClick);
    connect(tabI_.edtDataStr, &QWidget::customContextMenuRequested, this, &TForm1::ShowSourceMenu);

    g1 = MakeNamed<QProgressBar>("g1", central);
    g1->setRange(0, 100);
    g1->setValue(0);
    g1->setTextVisible(true);
    g1->setFormat("%p%");
    auto* Button7 = MakeNamed<QPushButton>("Button7", "业务联系专业恢复(ABOUT)", central);
    connect(Button7, &QPushButton::clicked, this, &TForm1::ShowAboutWindow);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(g1, 1);
    bottom->addWidget(Button7);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);
    return central;
}

void TForm1::BuildStatusBar() {
    QStatusBar* stat1 = statusBar();
    stat1->setObjectName("stat1");
    stat1->setSizeGripEnabled(false);
    statusPanel_ = MakeNamed<QLabel>("stat1Panel", stat1);
    statusPanel_->setFixedWidth(kStatusPanelWidth);
    statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    stat1->addWidget(statusPanel_);
}

QPlainTextEdit* TForm1::Memo(LogPane pane) const {
    switch (pane) {
    case LogPane::Analysis:
        return tabIII_.Memo2;
    case LogPane::Assembly:
        return tabIV_.Memo3;
    case LogPane::Scan:
        break;
    }
    return tabI_.Memo1;
}

void TForm1::AppendLog(LogPane pane, const QString& line) {
    Memo(pane)->appendPlainText(line);
}

void TForm1::ClearLog(LogPane pane) {
    Memo(pane)->clear();
}

void TForm1::SetGauge(int percent) {
    g1->setValue(std::clamp(percent, 0, 100));
}

void TForm1::SetStatus(const QString& text) {
    statusPanel_->setText(text);
}

void TForm1::ShowTabFromProgram(int index) {
    switchingTabFromProgram_ = true;
    PageControl1->setCurrentIndex(index);
    switchingTabFromProgram_ = false;
}

void TForm1::PageControl1Change(int index) {
    if (!switchingTabFromProgram_ && index == kDatabaseFilesTab)
        emit DatabaseFileListRequested();
}

void TForm1::Label7Click() {
    const bool showSteps = !tabI_.img1->isHidden();
    tabI_.img1->setVisible(!showSteps);
    tabI_.lbl1->setVisible(showSteps);
}

void TForm1::CheckBox1Click(bool checked) {
    tabI_.edtmaxpageid->setEnabled(checked);
}

void TForm1::ShowAboutWindow() {
    if (!about_)
        about_ = new AboutWindow(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

} // namespace vorthal
