// The main window TForm1: four tabs that follow the recovery workflow, the main menu, the progress
// gauge, the status bar and the logs of the tabs. Each tab is built by its own builder; this class
// holds the controls, the core's Session for the window's whole life, and the handlers. They are
// implemented by concern: the shell here, runs in main_window_runs.cpp, the data-source menu in
// main_window_source.cpp, the fragment list and its files in main_window_fragments.cpp.
//
// Controls whose handlers arrive with the analysis (FILTER, SEARCH MORE, CHECK, CREATE MDF and
// the extraction entries of the fragment list's menu) are present in their start state.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QSemaphore>
#include <QTabWidget>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

#include "app/combination_tab.h"
#include "app/data_source_tab.h"
#include "app/dialogs.h"
#include "app/file_catalogue_tab.h"
#include "app/fragment_list_tab.h"
#include "app/my_thread.h"
#include "app/scan_window_observer.h"
#include "app/window_observer.h"
#include "base/observer.h"
#include "disk/data_source_menu.h"
#include "disk/device_platform.h"
#include "workflow/session.h"

namespace vorthal {

class AboutWindow;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // The area below the main menu: tabs, gauge and status bar.
    static constexpr int kClientWidth = 995;
    static constexpr int kClientHeight = 615;
    static constexpr int kDatabaseFilesTab = 2;

    // The platform gives the drives and volumes of the data-source menu and opens every source.
    TForm1(Dialogs& dialogs, std::unique_ptr<DevicePlatform> platform);
    // Stops a scan and waits for every run before the session goes.
    ~TForm1() override;

    DataSourceTab& TabI() { return tabI_; }
    FragmentListTab& TabII() { return tabII_; }
    FileCatalogueTab& TabIII() { return tabIII_; }
    CombinationTab& TabIV() { return tabIV_; }

    // The window's side of what runs report: log lines, the gauge (0 to 100) and the status panel.
    void AppendLog(LogPane pane, const QString& line);
    void ClearLog(LogPane pane);
    void SetGauge(int percent);
    void SetStatus(const QString& text);

    // Makes `index` the active tab as program code does; unlike a switch by the operator this does
    // not run PageControl1Change.
    void ShowTabFromProgram(int index);

    // The database file number that page recognition requires; set when SCAN is clicked and when
    // a scan info file is opened.
    std::uint16_t TargetFileNumber() const { return targetFileNumber_; }
    // The recovery's state. Only the interface thread may touch it while no run is active.
    Session& CoreSession() { return *session_; }
    // The column header of the fragment list clicked last (0: row numbers).
    int FragmentSortColumn() const { return fragmentSortColumn_; }
    // A worker exists: running, or waiting for the run semaphore.
    bool RunActive() const { return activeRuns_ > 0; }

  signals:
    // The operator made tab III the active tab: its list of database files is to be rebuilt.
    void DatabaseFileListRequested();
    // The last active run has ended and its rows are shown.
    void RunsFinished();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMainMenu();
    QWidget* BuildCentralArea();
    void BuildStatusBar();
    QPlainTextEdit* Memo(LogPane pane) const;

    void PageControl1Change(int index);
    void Label7Click();
    void CheckBox1Click(bool checked);
    void ShowAboutWindow();

    // Runs (main_window_runs.cpp).
    void btnscanClick();
    void N2Click();
    void btnstopClick();
    std::optional<ScanOptions> ReadScanOptions();
    void DisableScanOptions();
    void StartRun(const char* runMode, RunWork work);
    void RunFinished(TMyThread* worker);
    void ScanOnWorker(const ScanOptions& options);
    void ShowQueuedFragmentRows();
    // Says "尚未扫描结束" and returns true while a run is active.
    bool RefuseWhileRunActive();
    void WaitForRuns();

    // The data-source menu (main_window_source.cpp).
    void BuildSourceMenuEntries();
    void ShowSourceMenu(QPoint at);
    void N7Click();
    void ChooseDriveItem(std::size_t item);
    void ChooseVolumeItem(std::size_t item);
    void ShowSourceControls();

    // The fragment list and its files (main_window_fragments.cpp).
    void ConnectFragmentListTab();
    void FillFragmentView();
    void ListView2ColumnClick(int column);
    void edtfilterClick();
    void N12Click();
    void N13Click();
    void btnsaveClick();
    void Button3Click();
    void OpenContentFileOfScan();

    Dialogs& dialogs_;
    DevicePlatform& platform_;
    std::unique_ptr<Session> session_;
    WindowObserver observer_;
    DataSourceMenu sourceMenu_;
    DataSourceTab tabI_{};
    FragmentListTab tabII_{};
    FileCatalogueTab tabIII_{};
    CombinationTab tabIV_{};
    QTabWidget* PageControl1 = nullptr;
    QProgressBar* g1 = nullptr;
    QLabel* statusPanel_ = nullptr;
    QPointer<AboutWindow> about_;

    bool switchingTabFromProgram_ = false;
    std::uint16_t targetFileNumber_ = 1;
    int fragmentSortColumn_ = 0;

    QSemaphore runSemaphore_{1};
    int activeRuns_ = 0;
    FragmentRowQueue fragmentRows_;
    // Takes the rows a scan queued while it runs.
    QTimer* rowTimer_ = nullptr;
};

} // namespace vorthal
