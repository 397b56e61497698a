#include "app/scan_window_observer.h"

#include <utility>

namespace vorthal {

void FragmentRowQueue::Push(FragmentRowEvent event) {
    const std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
}

std::vector<FragmentRowEvent> FragmentRowQueue::TakeAll() {
    std::vector<FragmentRowEvent> taken;
    const std::lock_guard lock(mutex_);
    taken.swap(events_);
    return taken;
}

bool FragmentRowQueue::Empty() const {
    const std::lock_guard lock(mutex_);
    return events_.empty();
}

void ScanWindowObserver::ShowQueuedRows() {
    if (!rows_.Empty())
        showQueuedRows_();
}

void ScanWindowObserver::AppendLog(LogPane pane, const std::string& line) {
    ShowQueuedRows();
    window_.AppendLog(pane, line);
}

void ScanWindowObserver::ClearLog(LogPane pane) {
    ShowQueuedRows();
    window_.ClearLog(pane);
}

void ScanWindowObserver::SetGauge(int percent) {
    ShowQueuedRows();
    window_.SetGauge(percent);
}

void ScanWindowObserver::SetStatus(const std::string& text) {
    ShowQueuedRows();
    window_.SetStatus(text);
}

void ScanWindowObserver::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
    ShowQueuedRows();
    window_.ShowMessage(title, text, icon);
}

bool ScanWindowObserver::AskYesNo(const std::string& title, const std::string& question) {
    ShowQueuedRows();
    return window_.AskYesNo(title, question);
}

void ScanWindowObserver::FragmentRowAdded(const std::string& line) {
    rows_.Push({false, line});
}

void ScanWindowObserver::LastFragmentRowRemoved() {
    rows_.Push({true, {}});
}

} // namespace vorthal
