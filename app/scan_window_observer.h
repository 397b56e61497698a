// What a scan on the worker thread reports to the window. Log lines, gauge, status, messages and
// questions go to the window's observer, carried out on the interface thread while the worker
// waits. Fragment rows are queued instead: a scan may find millions of fragments, and one wait
// per row would slow it to the window's pace. The window takes the queued rows on a timer, and
// before any other report the worker hands them over and waits, so that the window shows every
// update in the order the scan made it and is up to date before any message box.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "app/fragment_table_model.h"
#include "scan/scan_observer.h"

namespace vorthal {

// Row events between the worker that makes them and the interface thread that shows them.
class FragmentRowQueue {
  public:
    void Push(FragmentRowEvent event);
    // Every event queued so far, in order; the queue is then empty.
    std::vector<FragmentRowEvent> TakeAll();
    bool Empty() const;

  private:
    mutable std::mutex mutex_;
    std::vector<FragmentRowEvent> events_;
};

class ScanWindowObserver final : public ScanObserver {
  public:
    // `showQueuedRows` makes the window take the queued rows and returns once it has.
    ScanWindowObserver(Observer& window, FragmentRowQueue& rows, std::function<void()> showQueuedRows)
        : window_(window), rows_(rows), showQueuedRows_(std::move(showQueuedRows)) {}

    void AppendLog(LogPane pane, const std::string& line) override;
    void ClearLog(LogPane pane) override;
    void SetGauge(int percent) override;
    void SetStatus(const std::string& text) override;
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& title, const std::string& question) override;
    void FragmentRowAdded(const std::string& line) override;
    void LastFragmentRowRemoved() override;

    // Hands the queued rows to the window and waits until it shows them.
    void ShowQueuedRows();

  private:
    Observer& window_;
    FragmentRowQueue& rows_;
    std::function<void()> showQueuedRows_;
};

} // namespace vorthal
