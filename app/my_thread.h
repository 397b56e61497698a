// TMyThread: the worker that carries out one run, a scan ("scan") or a chain analysis ("anlys").
// Runs execute one at a time: each holds the one permit of the run semaphore for its whole run,
// and a worker started while another run holds it waits. A worker starts at once and is deleted
// once it has finished; the window counts the live ones, so that it never releases the session
// under a running worker.
#pragma once

#include <QSemaphore>
#include <QString>
#include <QThread>

#include <functional>
#include <string>

namespace vorthal {

inline constexpr const char* kScanRunMode = "scan";
inline constexpr const char* kAnalysisRunMode = "anlys";

// The work of each run mode, carried out on the worker thread.
struct RunWork {
    std::function<void()> scan;
    std::function<void()> analysis;
    // An error that ended the run, said to the operator.
    std::function<void(const std::string& what)> failed;
};

class TMyThread final : public QThread {
    Q_OBJECT
  public:
    // The run mode is the one set when the run was started.
    TMyThread(QString runMode, QSemaphore& runSemaphore, RunWork work);

  protected:
    // Execute.
    void run() override;

  private:
    const QString runMode_;
    QSemaphore& runSemaphore_;
    RunWork work_;
};

} // namespace vorthal
