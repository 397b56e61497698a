// The window's side of the core's Observer. A run on the worker thread reports log lines, gauge,
// status, messages and questions through it; each call is carried out on the interface thread
// while the worker waits, so the window shows the updates in the order the run makes them. Calls
// made on the interface thread itself are carried out at once.
#pragma once

#include "app/dialogs.h"
#include "base/observer.h"

namespace vorthal {

class TForm1;

class WindowObserver : public Observer {
  public:
    WindowObserver(TForm1& form, Dialogs& dialogs) : form_(form), dialogs_(dialogs) {}

    void AppendLog(LogPane pane, const std::string& line) override;
    void ClearLog(LogPane pane) override;
    void SetGauge(int percent) override;
    void SetStatus(const std::string& text) override;
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& title, const std::string& question) override;

  private:
    template <typename Work> void OnInterfaceThread(Work&& work);

    TForm1& form_;
    Dialogs& dialogs_;
};

} // namespace vorthal
