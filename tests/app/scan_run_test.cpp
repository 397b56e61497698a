// Runs from the window: SCAN refused or accepted, a scan that runs until STOP while the window
// stays usable, a whole scan of a generated database image started from the window, and closing
// the window during a run. Dialogs are scripted; waits are QTRY_* and signals, never sleeps.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "app/fragment_table_model.h"
#include "app/main_window.h"
#include "app/scan_window_observer.h"
#include "tests/app/app_test_suites.h"
#include "tests/app/window_harness.h"
#include "tests/fixtures/database_builder.h"

namespace vorthal::testing {
namespace {

// Zero bytes of a whole disk of 1 TiB: a scan of it by single sectors outlasts any test.
const char* const kEndlessImage = "endless.img";
constexpr std::int64_t kEndlessImageBytes = std::int64_t{1} << 40;
const char* const kDatabaseImage = "database.img";

// A generated database file of 64 pages written in two fragments on a disk image of 16,384
// sectors: pages 0 to 19 at sector 2048, pages 20 to 63 at sector 8192.
std::vector<std::uint8_t> DatabaseImage() {
    fixtures::DatabaseSpec spec;
    spec.pages = 64;
    // Every page a page of the file: header, PFS, two objects with their IAM pages, page 32.
    spec.objects.push_back({1977058079, 2, 3, 29, 1, true});
    spec.objects.push_back({1977058080, 33, 34, 30, 1, true});
    const std::vector<fixtures::Page> pages = fixtures::BuildDatabasePages(spec);
    std::vector<std::uint8_t> image(std::size_t{16384} * kSectorSize, 0);
    const auto put = [&](std::size_t startSector, std::size_t first, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t offset = (startSector + k * kSectorsPerPage) * kSectorSize;
            std::copy(pages[first + k].begin(), pages[first + k].end(),
                      image.begin() + static_cast<std::ptrdiff_t>(offset));
        }
    };
    put(2048, 0, 20);
    put(8192, 20, 44);
    return image;
}

// Writes every report down in the order it arrives, rows and other reports alike.
class SequenceObserver final : public Observer {
  public:
    void AppendLog(LogPane, const std::string& line) override {
        sequence << "log " + QString::fromStdString(line);
    }
    void ClearLog(LogPane) override { sequence << "clear"; }
    void SetGauge(int percent) override { sequence << QString("gauge %1").arg(percent); }
    void SetStatus(const std::string& text) override { sequence << "status " + QString::fromStdString(text); }
    void ShowMessage(const std::string&, const std::string& text, MessageIcon) override {
        sequence << "message " + QString::fromStdString(text);
    }
    bool AskYesNo(const std::string&, const std::string&) override {
        sequence << "question";
        return true;
    }
    QStringList sequence;
};

} // namespace

class ScanRunTest : public QObject {
    Q_OBJECT

  private:
    WindowHarness window_;
    QString Status() { return window_.Find<QLabel>("stat1Panel")->text(); }
    FragmentTableModel* Model() {
        return qobject_cast<FragmentTableModel*>(window_.Find<QTreeView>("ListView2")->model());
    }
    void StartEndlessScan() {
        window_.ChooseImage(kEndlessImage, false);
        QTest::mouseClick(window_.Find<QPushButton>("btnscan"), Qt::LeftButton);
        QTRY_COMPARE(Status(), "开始扫描");
    }

  private slots:
    void init() {
        window_.Open([](TestDevicePlatform& platform) {
            platform.AddZeroImage(kEndlessImage, kEndlessImageBytes);
            platform.fake.opener.AddPath(kDatabaseImage, {DatabaseImage(), {}, 0});
        });
    }
    void cleanup() { window_.Close(); }

    void queuedRowsAreShownBeforeAnyOtherReport();
    void scanThenStopWhileTheWindowStaysUsable();
    void scanOptionsThatAreNoNumbersStartNothing();
    void fileNumberOfTheButtonIsKeptForTheMenu();
    void wholeScanOfAGeneratedImageFillsTheList();
    void closingTheWindowDuringARunStopsItFirst();
};

void ScanRunTest::queuedRowsAreShownBeforeAnyOtherReport() {
    SequenceObserver window;
    FragmentRowQueue rows;
    ScanWindowObserver observer(window, rows, [&] {
        QStringList taken;
        for (const FragmentRowEvent& event : rows.TakeAll())
            taken << (event.removeLast ? QString("remove") : QString::fromStdString(event.line));
        window.sequence << "rows " + taken.join(",");
    });
    observer.AppendLog(LogPane::Scan, "a");
    observer.FragmentRowAdded("1|");
    observer.FragmentRowAdded("2|");
    observer.LastFragmentRowRemoved();
    observer.FragmentRowAdded("2b|");
    observer.SetGauge(5);
    observer.SetGauge(6);
    observer.FragmentRowAdded("3|");
    QVERIFY(observer.AskYesNo("t", "q"));
    observer.FragmentRowAdded("4|");
    observer.ShowMessage("t", "read disk error", MessageIcon::Information);
    observer.FragmentRowAdded("5|");
    observer.ShowQueuedRows();
    observer.ShowQueuedRows(); // nothing queued: the window is not bothered
    QCOMPARE(window.sequence, (QStringList{"log a", "rows 1|,2|,remove,2b|", "gauge 5", "gauge 6", "rows 3|",
                                           "question", "rows 4|", "message read disk error", "rows 5|"}));
}

void ScanRunTest::scanThenStopWhileTheWindowStaysUsable() {
    StartEndlessScan();
    TForm1& form = *window_.form;
    QVERIFY(form.RunActive());
    QVERIFY(!form.CoreSession().scanStopped);
    QVERIFY(!window_.Find<QPushButton>("btnscan")->isEnabled());
    QVERIFY(window_.Find<QAction>("N2")->isEnabled());
    for (const char* option : {"chkfreespace", "edtbegin", "edtend", "edtsecs", "CheckBox1", "edtmaxpageid"})
        QVERIFY2(!window_.Find(option)->isEnabled(), option);
    QCOMPARE(window_.Find<QTabWidget>("PageControl1")->currentIndex(), 0);

    // The window answers while the worker scans: a click, the tab change, the gauge moving.
    QTest::mouseClick(window_.Find<QLabel>("Label7"), Qt::LeftButton);
    QVERIFY(window_.Find<QLabel>("lbl1")->isVisible());
    window_.Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QTRY_VERIFY(window_.Find<QProgressBar>("g1")->value() >= 0);

    // What would touch the worker's data is refused meanwhile: the sort does nothing, the
    // filter and the data-source menu say the scan has not ended.
    window_.Find<QTreeView>("ListView2")->header()->sectionClicked(3);
    QCOMPARE(form.FragmentSortColumn(), 0);
    window_.Find<QRadioButton>("rb3")->setChecked(true);
    window_.Find<QPushButton>("edtfilter")->click();
    emit window_.Find<QLineEdit>("edtDataStr")->customContextMenuRequested(QPoint(2, 2));
    window_.Find<QAction>("N7")->trigger();
    QCOMPARE(window_.dialogs.messages.size(), 3);
    for (const ShownMessage& message : window_.dialogs.messages)
        QCOMPARE(message.text, "尚未扫描结束");
    QVERIFY(!window_.Find<QMenu>("pm1")->isVisible());
    QCOMPARE(window_.dialogs.fileDialogTitles.size(), 1); // only the first choice of the image

    QSignalSpy finished(&form, &TForm1::RunsFinished);
    window_.Find<QPushButton>("btnstop")->click();
    QVERIFY(form.CoreSession().scanStopped); // at once; the worker notices at its next position
    QVERIFY(finished.wait());
    QCOMPARE(Status(), "已停止扫描");
    QVERIFY(!form.RunActive());
    QCOMPARE(Model()->rowCount(), 0);
    QVERIFY(!window_.Find<QPushButton>("btnscan")->isEnabled());

    // After the stop the sort works, and the menu entry scans again.
    window_.Find<QTreeView>("ListView2")->header()->sectionClicked(3);
    QCOMPARE(form.FragmentSortColumn(), 3);
    window_.Find<QAction>("N2")->trigger();
    QTRY_VERIFY(!form.CoreSession().scanStopped && form.RunActive());
    window_.Find<QAction>("N3")->trigger();
    QVERIFY(finished.wait());
    QCOMPARE(finished.count(), 2);
}

void ScanRunTest::scanOptionsThatAreNoNumbersStartNothing() {
    window_.ChooseImage(kDatabaseImage, false);
    window_.Find<QLineEdit>("edtend")->setText("16x");
    QTest::mouseClick(window_.Find<QPushButton>("btnscan"), Qt::LeftButton);
    QCOMPARE(window_.dialogs.messages.size(), 1);
    QCOMPARE(window_.dialogs.messages[0].text, "'16x' is not a valid integer value");
    QVERIFY(!window_.form->RunActive());
    QVERIFY(window_.form->CoreSession().scanStopped);
    QVERIFY(window_.Find<QPushButton>("btnscan")->isEnabled());

    window_.Find<QLineEdit>("edtend")->setText("16384");
    window_.Find<QLineEdit>("edtsecs")->setText("0");
    QTest::mouseClick(window_.Find<QPushButton>("btnscan"), Qt::LeftButton);
    QCOMPARE(window_.dialogs.messages.size(), 2);
    QVERIFY(window_.dialogs.messages[1].text.startsWith("扫描设置无效"));
    QVERIFY(!window_.form->RunActive());
}

void ScanRunTest::fileNumberOfTheButtonIsKeptForTheMenu() {
    window_.ChooseImage(kDatabaseImage, false);
    auto* fileNumber = window_.Find<QLineEdit>("Edit2");
    fileNumber->setText("1a");
    QTest::mouseClick(window_.Find<QPushButton>("btnscan"), Qt::LeftButton);
    QCOMPARE(window_.dialogs.messages.size(), 1);
    QCOMPARE(window_.dialogs.messages[0].text, "'1a' is not a valid integer value");
    QVERIFY(!window_.form->RunActive());

    QSignalSpy finished(window_.form.get(), &TForm1::RunsFinished);
    fileNumber->setText("65543"); // 0x10007: its low 16 bits
    QTest::mouseClick(window_.Find<QPushButton>("btnscan"), Qt::LeftButton);
    QCOMPARE(window_.form->TargetFileNumber(), 7);
    QVERIFY(finished.wait());
    QCOMPARE(Model()->rowCount(), 0); // the image holds pages of file 1 only

    // The menu entry uses the number stored last, not what the field holds now.
    fileNumber->setText("1");
    window_.Find<QAction>("N2")->trigger();
    QVERIFY(finished.wait());
    QCOMPARE(window_.form->TargetFileNumber(), 7);
    QCOMPARE(Model()->rowCount(), 0);
}

void ScanRunTest::wholeScanOfAGeneratedImageFillsTheList() {
    window_.ChooseImage(kDatabaseImage, false);
    QCOMPARE(window_.Find<QLineEdit>("edtend")->text(), "16384");
    QSignalSpy finished(window_.form.get(), &TForm1::RunsFinished);
    QTest::mouseClick(window_.Find<QPushButton>("btnscan"), Qt::LeftButton);
    QVERIFY(finished.wait());

    QCOMPARE(Status(), "完成");
    QCOMPARE(window_.Find<QProgressBar>("g1")->value(), 100);
    const QString log = window_.Find<QPlainTextEdit>("Memo1")->toPlainText();
    QVERIFY2(log.startsWith("开始扫描") && log.contains("\n完成"), qPrintable(log));
    QVERIFY(window_.form->CoreSession().scanStopped);

    // One row per fragment line, in list order, with the line's values.
    const FragmentList& fragments = window_.form->CoreSession().fragments;
    FragmentTableModel* model = Model();
    QCOMPARE(fragments.Count(), std::size_t{2});
    QCOMPARE(model->rowCount(), 2);
    const struct {
        const char* beginPage;
        const char* endPage;
        const char* sizeKb;
        const char* startSector;
        const char* endSector;
    } expected[] = {{"0", "20", "160", "2048", "2368"}, {"20", "64", "352", "8192", "8896"}};
    for (int row = 0; row < 2; ++row) {
        const auto cell = [&](int column) {
            return model->data(model->index(row, column), Qt::DisplayRole).toString();
        };
        QCOMPARE(cell(kColumnRowNumber), QString::number(row + 1));
        QCOMPARE(cell(kColumnBeginPage), expected[row].beginPage);
        QCOMPARE(cell(kColumnEndPage), expected[row].endPage);
        QCOMPARE(cell(kColumnSizeKb), expected[row].sizeKb);
        QCOMPARE(cell(kColumnStartSector), expected[row].startSector);
        QCOMPARE(cell(kColumnEndSector), expected[row].endSector);
        QCOMPARE(cell(kColumnMemo), QString::fromStdString(std::string(
                                        fragments.Field(static_cast<std::size_t>(row), kFieldMemo))));
    }
    QCOMPARE(window_.form->CoreSession().pageOrderIndex.Count(), std::size_t{2});
}

void ScanRunTest::closingTheWindowDuringARunStopsItFirst() {
    StartEndlessScan();
    TForm1& form = *window_.form;
    QVERIFY(form.RunActive());
    QVERIFY(form.close());
    // close() returns only once the worker has ended: the session can go.
    QVERIFY(!form.RunActive());
    QVERIFY(form.CoreSession().scanStopped);
    QCOMPARE(Status(), "已停止扫描");
    QVERIFY(!form.isVisible());
}

} // namespace vorthal::testing

int vorthal::testing::RunScanRunTests(int argc, char* argv[]) {
    ScanRunTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "scan_run_test.moc"
