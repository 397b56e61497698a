#include "app/window_observer.h"

#include <QThread>

#include <utility>

#include "app/main_window.h"

namespace vorthal {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

// The interface thread must never wait for the worker, or this blocking call would dead-lock.
template <typename Work> void WindowObserver::OnInterfaceThread(Work&& work) {
    if (QThread::currentThread() == form_.thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(&form_, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}

void WindowObserver::AppendLog(LogPane pane, const std::string& line) {
    OnInterfaceThread([&] { form_.AppendLog(pane, Text(line)); });
}

void WindowObserver::ClearLog(LogPane pane) {
    OnInterfaceThread([&] { form_.ClearLog(pane); });
}

void WindowObserver::SetGauge(int percent) {
    OnInterfaceThread([&] { form_.SetGauge(percent); });
}

void WindowObserver::SetStatus(const std::string& text) {
    OnInterfaceThread([&] { form_.SetStatus(Text(text)); });
}

void WindowObserver::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
    OnInterfaceThread([&] { dialogs_.ShowMessage(Text(title), Text(text), icon); });
}

bool WindowObserver::AskYesNo(const std::string& title, const std::string& question) {
    bool yes = false;
    OnInterfaceThread([&] { yes = dialogs_.Ask(Text(title), Text(question)); });
    return yes;
}

} // namespace vorthal
