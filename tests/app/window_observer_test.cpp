// What a run reports through the window's observer reaches the window on the interface thread,
// in order, while the run waits; questions come back with the operator's answer.
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QThread>

#include <memory>

#include "app/main_window.h"
#include "app/window_observer.h"
#include "tests/app/app_test_suites.h"
#include "tests/app/scripted_dialogs.h"
#include "tests/app/test_device_platform.h"

namespace vorthal::testing {

class WindowObserverTest : public QObject {
    Q_OBJECT

  private:
    // Runs `work` on a worker thread and keeps the interface thread's event loop turning until
    // the worker has finished.
    template <typename Work> static void RunOnWorker(Work work) {
        std::unique_ptr<QThread> worker(QThread::create(std::move(work)));
        QEventLoop loop;
        QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        worker->start();
        loop.exec();
        worker->wait();
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<WindowObserver> observer_;

  private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        form_ = std::make_unique<TForm1>(dialogs_, std::make_unique<TestDevicePlatform>());
        observer_ = std::make_unique<WindowObserver>(*form_, dialogs_);
    }
    void cleanup() {
        observer_.reset();
        form_.reset();
    }

    void workerUpdatesReachTheWindowInOrder() {
        RunOnWorker([this] {
            observer_->AppendLog(LogPane::Scan, "开始扫描2026/12/11 9:05:07");
            observer_->SetGauge(40);
            observer_->AppendLog(LogPane::Scan, "8192error1sec4096");
            observer_->AppendLog(LogPane::Assembly, "检查完成");
            observer_->SetStatus("完成");
            observer_->SetGauge(100);
        });
        QCOMPARE(form_->findChild<QPlainTextEdit*>("Memo1")->toPlainText(),
                 "开始扫描2026/12/11 9:05:07\n8192error1sec4096");
        QCOMPARE(form_->findChild<QPlainTextEdit*>("Memo3")->toPlainText(), "检查完成");
        QCOMPARE(form_->findChild<QProgressBar*>("g1")->value(), 100);
        QCOMPARE(form_->findChild<QLabel*>("stat1Panel")->text(), "完成");
    }

    void workerMessagesAndQuestionsAreShownOnTheInterfaceThread() {
        dialogs_.answers.enqueue(true);
        dialogs_.answers.enqueue(false);
        bool first = false;
        bool second = true;
        RunOnWorker([&] {
            observer_->ShowMessage("提示", "success", MessageIcon::Information);
            first = observer_->AskYesNo("保存碎片内容", "是否需要保存所有碎片的内容");
            second = observer_->AskYesNo("打开碎片内容", "是否需要打开所有碎片的内容文件");
        });
        QVERIFY(first);
        QVERIFY(!second);
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, "success");
        QCOMPARE(dialogs_.questions.size(), 2);
        QCOMPARE(dialogs_.questions[0], "保存碎片内容: 是否需要保存所有碎片的内容");
        for (QThread* thread : dialogs_.callThreads)
            QCOMPARE(thread, form_->thread());
    }

    void callsOnTheInterfaceThreadAreCarriedOutAtOnce() {
        observer_->AppendLog(LogPane::Analysis, "line one");
        observer_->AppendLog(LogPane::Analysis, "line two");
        QCOMPARE(form_->findChild<QPlainTextEdit*>("Memo2")->toPlainText(), "line one\nline two");
        observer_->ClearLog(LogPane::Analysis);
        QCOMPARE(form_->findChild<QPlainTextEdit*>("Memo2")->toPlainText(), "");
    }
};

int RunWindowObserverTests(int argc, char* argv[]) {
    WindowObserverTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace vorthal::testing

#include "window_observer_test.moc"
