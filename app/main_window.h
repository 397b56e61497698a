// The main window TForm1: four tabs that follow the recovery workflow, the main menu, the progress
// gauge, the status bar and the logs of the tabs. Each tab is built by its own builder; this class
// holds the controls, the window-level state and the handlers that need no run of the core.
//
// Controls whose handlers arrive with the core's session (the data-source menu pm1, STOP, the
// fragment list tools, SAVE/OPEN, FILTER, SEARCH MORE, CHECK, CREATE MDF) are present in their
// start state and reached through the tab accessors below.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QTabWidget>

#include <cstdint>

#include "app/combination_tab.h"
#include "app/data_source_tab.h"
#include "app/dialogs.h"
#include "app/file_catalogue_tab.h"
#include "app/fragment_list_tab.h"
#include "base/observer.h"

namespace vorthal {

class AboutWindow;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // The area below the main menu: tabs, gauge and status bar.
    static constexpr int kClientWidth = 995;
    static constexpr int kClientHeight = 615;
    static constexpr int kDatabaseFilesTab = 2;

    explicit TForm1(Dialogs& dialogs);

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

    // Called by the data-source menu once the source field names a source; SCAN refuses before.
    void MarkSourceChosen() { sourceChosen_ = true; }
    // The database file number that page recognition requires; set when SCAN is clicked.
    std::uint16_t TargetFileNumber() const { return targetFileNumber_; }

  signals:
    // The operator made tab III the active tab: its list of database files is to be rebuilt.
    void DatabaseFileListRequested();
    // SCAN was accepted: the window is set for the run; the run itself is to be started.
    void ScanStartRequested();

  private:
    void BuildMainMenu();
    QWidget* BuildCentralArea();
    void BuildStatusBar();
    QPlainTextEdit* Memo(LogPane pane) const;

    void PageControl1Change(int index);
    void Label7Click();
    void CheckBox1Click(bool checked);
    void btnscanClick();
    void N2Click();
    void ShowAboutWindow();

    Dialogs& dialogs_;
    DataSourceTab tabI_{};
    FragmentListTab tabII_{};
    FileCatalogueTab tabIII_{};
    CombinationTab tabIV_{};
    QTabWidget* PageControl1 = nullptr;
    QProgressBar* g1 = nullptr;
    QLabel* statusPanel_ = nullptr;
    QPointer<AboutWindow> about_;

    bool switchingTabFromProgram_ = false;
    bool sourceChosen_ = false;
    std::uint16_t targetFileNumber_ = 1;
};

} // namespace vorthal
