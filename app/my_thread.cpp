#include "app/my_thread.h"

#include <exception>
#include <utility>

namespace vorthal {

TMyThread::TMyThread(QString runMode, QSemaphore& runSemaphore, RunWork work)
    : runMode_(std::move(runMode)), runSemaphore_(runSemaphore), work_(std::move(work)) {
    setObjectName("TMyThread");
}

void TMyThread::run() {
    runSemaphore_.acquire();
    // The permit goes back however the run ends.
    const QSemaphoreReleaser permit(runSemaphore_);
    try {
        if (runMode_ == kScanRunMode && work_.scan) {
            work_.scan();
        } else if (runMode_ == kAnalysisRunMode && work_.analysis) {
            work_.analysis();
        }
    } catch (const std::exception& error) {
        if (work_.failed)
            work_.failed(error.what());
    }
}

} // namespace vorthal
