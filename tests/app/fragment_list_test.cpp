// Tab II: the fragment list over the FragmentList (rows, check boxes, images, colours), the
// filter, the sort by header clicks, the tick tools, the statistics and the clipboard; SAVE and
// OPEN of a scan with its content file.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <fstream>

#include "app/fragment_table_model.h"
#include "tests/app/app_test_suites.h"
#include "tests/app/window_harness.h"
#include "tests/fixtures/disk_images.h"

namespace vorthal::testing {
namespace {

std::string Line(std::int32_t number, SectorNumber start, std::int32_t beginPage, std::int32_t pages,
                 const std::string& memo = " ") {
    Fragment fragment;
    fragment.number = number;
    fragment.startSector = start;
    fragment.endSector = start + std::int64_t{pages} * kSectorsPerPage;
    fragment.sizeKb = std::int64_t{pages} * 8;
    fragment.beginPage = beginPage;
    fragment.endPage = beginPage + pages;
    fragment.memo = memo;
    return BuildFragmentLine(fragment);
}

// Four fragments whose begin pages, sizes and memos order them differently.
const std::vector<std::string> kLines = {Line(1, 4000, 10, 3, "beta"),
                                         Line(2, 2048, 0, 40, "ALPHA.mdf 0.31 MB"),
                                         Line(3, 100, 9, 1, "gamma"), Line(4, 9000, 120, 2, "alpha")};

QString TempPath(const fixtures::TempDir& folder, const char* name) {
    return QString::fromStdString((folder / name).string());
}

} // namespace

class FragmentListTest : public QObject {
    Q_OBJECT

  private:
    WindowHarness window_;
    FragmentTableModel* Model() {
        return qobject_cast<FragmentTableModel*>(window_.Find<QTreeView>("ListView2")->model());
    }
    QVariant Cell(int row, int column, int role = Qt::DisplayRole) {
        return Model()->data(Model()->index(row, column), role);
    }
    QStringList Column(int column) {
        QStringList cells;
        for (int row = 0; row < Model()->rowCount(); ++row)
            cells << Cell(row, column).toString();
        return cells;
    }
    QList<bool> Ticks() {
        QList<bool> ticks;
        for (int row = 0; row < Model()->rowCount(); ++row)
            ticks << (Cell(row, kColumnRowNumber, Qt::CheckStateRole).toInt() == Qt::Checked);
        return ticks;
    }
    void Filter(const char* radio) {
        window_.Find<QRadioButton>(radio)->setChecked(true);
        QTest::mouseClick(window_.Find<QPushButton>("edtfilter"), Qt::LeftButton);
    }
    void ShowLines() {
        for (const std::string& line : kLines)
            window_.form->CoreSession().fragments.Append(line);
        Filter("rb3");
    }
    QStringList Flags() {
        QStringList flags;
        const FragmentList& list = window_.form->CoreSession().fragments;
        for (std::size_t i = 0; i < list.Count(); ++i)
            flags << QString::fromStdString(std::string(list.Field(i, kFieldVisibility)));
        return flags;
    }

  private slots:
    void init() { window_.Open(); }
    void cleanup() { window_.Close(); }

    void rowsShowTheLinesWithImagesTicksAndColoursByPosition();
    void filterRewritesTheFlagsAndRefills_data();
    void filterRewritesTheFlagsAndRefills();
    void filterBoundThatIsNoNumberChangesNothing();
    void headerClickSortsAscendingAndRecolours();
    void tickToolsStatisticsAndClipboard();
    void saveThenOpenGivesBackTheSameList();
    void saveCancelledStillAsksForTheContents();
    void badScanInfoFileKeepsTheList();
};

void FragmentListTest::rowsShowTheLinesWithImagesTicksAndColoursByPosition() {
    ShowLines();
    QCOMPARE(Model()->rowCount(), 4);
    QCOMPARE(Column(kColumnRowNumber), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(Column(kColumnSizeKb), (QStringList{"24", "320", "8", "16"}));
    QCOMPARE(Column(kColumnMemo), (QStringList{"beta", "ALPHA.mdf 0.31 MB", "gamma", "alpha"}));
    QCOMPARE(Column(kColumnStartSector), (QStringList{"4000", "2048", "100", "9000"}));
    QCOMPARE(Column(kColumnEndSector), (QStringList{"4048", "2688", "116", "9032"}));
    QCOMPARE(Ticks(), (QList<bool>{false, false, false, false}));

    // Image 1 for the fragment that starts at page 0, image 0 for the others, both 16 x 16.
    const auto image = [&](int row) {
        return Cell(row, kColumnRowNumber, Qt::DecorationRole).value<QPixmap>();
    };
    QCOMPARE(image(0).size(), QSize(16, 16));
    QCOMPARE(image(0).toImage(), image(2).toImage());
    QVERIFY(image(1).toImage() != image(0).toImage());
    QVERIFY(!Cell(0, kColumnSizeKb, Qt::DecorationRole).isValid());

    const QColor even(120, 182, 93);
    const QColor odd(120, 221, 139);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(Cell(row, kColumnMemo, Qt::BackgroundRole).value<QColor>(), row % 2 == 0 ? even : odd);
    QVERIFY(Model()->flags(Model()->index(0, kColumnRowNumber)) & Qt::ItemIsUserCheckable);
}

void FragmentListTest::filterRewritesTheFlagsAndRefills_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("shownBeginPages");
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("range") << "rb1"
                           << "9"
                           << "120"
                           << "" << QStringList{"10", "9"} << QStringList{"Y", "N", "Y", "N"};
    QTest::newRow("empty range") << "rb1"
                                 << "100"
                                 << "100"
                                 << "" << QStringList{} << QStringList{"N", "N", "N", "N"};
    QTest::newRow("page inside") << "rb2"
                                 << ""
                                 << ""
                                 << " 12 " << QStringList{"10", "0"} << QStringList{"Y", "Y", "N", "N"};
    QTest::newRow("page at end") << "rb2"
                                 << ""
                                 << ""
                                 << "122" << QStringList{} << QStringList{"N", "N", "N", "N"};
    QTest::newRow("page at begin") << "rb2"
                                   << ""
                                   << ""
                                   << "120" << QStringList{"120"} << QStringList{"N", "N", "N", "Y"};
}

void FragmentListTest::filterRewritesTheFlagsAndRefills() {
    QFETCH(QString, radio);
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(QString, page);
    QFETCH(QStringList, shownBeginPages);
    QFETCH(QStringList, flags);
    ShowLines();
    window_.Find<QLineEdit>("Edit1")->setText(low);
    window_.Find<QLineEdit>("edtendid")->setText(high);
    window_.Find<QLineEdit>("edtpgid")->setText(page);
    Model()->TickAll();

    Filter(radio.toLatin1().constData());
    QCOMPARE(Column(kColumnBeginPage), shownBeginPages);
    QCOMPARE(Flags(), flags);
    // Rows are numbered from 1 again and carry no ticks.
    for (int row = 0; row < Model()->rowCount(); ++row)
        QCOMPARE(Cell(row, kColumnRowNumber).toString(), QString::number(row + 1));
    QVERIFY(!Ticks().contains(true));

    Filter("rb3"); // every line shown again
    QCOMPARE(Flags(), (QStringList{"Y", "Y", "Y", "Y"}));
    QCOMPARE(Model()->rowCount(), 4);
}

void FragmentListTest::filterBoundThatIsNoNumberChangesNothing() {
    ShowLines();
    window_.Find<QLineEdit>("edtendid")->setText("100");
    Filter("rb1"); // Edit1 still holds its start text "edtbeginid"
    QCOMPARE(window_.dialogs.messages.size(), 1);
    QCOMPARE(window_.dialogs.messages[0].text, "'edtbeginid' is not a valid integer value");
    QCOMPARE(Flags(), (QStringList{"Y", "Y", "Y", "Y"}));
    QCOMPARE(Model()->rowCount(), 4);

    // With no radio button chosen the button does nothing.
    window_.Close();
    window_.Open();
    window_.form->CoreSession().fragments.Append(kLines[0]);
    QTest::mouseClick(window_.Find<QPushButton>("edtfilter"), Qt::LeftButton);
    QCOMPARE(Model()->rowCount(), 0);
    QVERIFY(window_.dialogs.messages.isEmpty());
}

void FragmentListTest::headerClickSortsAscendingAndRecolours() {
    ShowLines();
    QHeaderView* header = window_.Find<QTreeView>("ListView2")->header();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(kColumnBeginPage);
    QCOMPARE(window_.form->FragmentSortColumn(), kColumnBeginPage);
    QCOMPARE(Column(kColumnBeginPage), (QStringList{"0", "9", "10", "120"})); // 9 before 10: numbers
    QCOMPARE(Column(kColumnRowNumber), (QStringList{"2", "3", "1", "4"}));
    QCOMPARE(Cell(0, kColumnMemo, Qt::BackgroundRole).value<QColor>(), QColor(120, 182, 93));
    QCOMPARE(Cell(1, kColumnMemo, Qt::BackgroundRole).value<QColor>(), QColor(120, 221, 139));
    // The image goes with the row: the page-0 fragment, now first, keeps the red mark.
    const auto image = [&](int row) {
        return Cell(row, kColumnRowNumber, Qt::DecorationRole).value<QPixmap>().toImage();
    };
    QVERIFY(image(0) != image(1));
    QCOMPARE(image(1), image(2));

    clickHeader(kColumnMemo);
    QCOMPARE(Column(kColumnMemo), (QStringList{"alpha", "ALPHA.mdf 0.31 MB", "beta", "gamma"}));
    clickHeader(kColumnMemo); // again ascending
    QCOMPARE(Column(kColumnMemo), (QStringList{"alpha", "ALPHA.mdf 0.31 MB", "beta", "gamma"}));
    clickHeader(kColumnRowNumber);
    QCOMPARE(Column(kColumnRowNumber), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(window_.form->FragmentSortColumn(), kColumnRowNumber);
}

void FragmentListTest::tickToolsStatisticsAndClipboard() {
    ShowLines();
    QTreeView* view = window_.Find<QTreeView>("ListView2");
    // The operator ticks rows 1 and 3 in their check boxes.
    QVERIFY(Model()->setData(Model()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(Model()->setData(Model()->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    window_.Find<QAction>("N15")->trigger();
    QCOMPARE(Ticks(), (QList<bool>{false, true, false, true}));
    window_.Find<QAction>("N12")->trigger();
    QCOMPARE(window_.dialogs.messages.size(), 1);
    QCOMPARE(window_.dialogs.messages[0].title, "提示");
    QCOMPARE(window_.dialogs.messages[0].text, "统计结果:碎片数量为2总大小为:336KB");

    window_.Find<QAction>("N10")->trigger();
    QCOMPARE(Ticks(), (QList<bool>{true, true, true, true}));
    window_.Find<QAction>("N14")->trigger();
    QCOMPARE(Ticks(), (QList<bool>{false, false, false, false}));
    window_.Find<QAction>("N12")->trigger();
    QCOMPARE(window_.dialogs.messages[1].text, "统计结果:碎片数量为0总大小为:0KB");

    // N13: nothing selected leaves the clipboard; a selected row gives its start sector.
    QGuiApplication::clipboard()->setText("before");
    window_.Find<QAction>("N13")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), "before");
    view->setCurrentIndex(Model()->index(3, kColumnMemo));
    window_.Find<QAction>("N13")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), "9000");

    // The entries whose tools come with the extraction and the combination list wait, visible.
    for (const char* waiting : {"N9", "N16", "N17", "N18"}) {
        QVERIFY(window_.Find<QAction>(waiting)->isVisible());
        QVERIFY(!window_.Find<QAction>(waiting)->isEnabled());
    }
}

void FragmentListTest::saveThenOpenGivesBackTheSameList() {
    window_.Close();
    window_.Open([](TestDevicePlatform& platform) {
        platform.fake.opener.AddPath("disk.img", {fixtures::NumberedSectors(12000), {}, 0});
    });
    window_.ChooseImage("disk.img", false);
    window_.dialogs = ScriptedDialogs();
    ShowLines();
    window_.Find<QLineEdit>("Edit2")->setText("3");
    const fixtures::TempDir folder;
    const QString infoPath = TempPath(folder, "scan.info");
    const QString contentPath = TempPath(folder, "scan.content");

    window_.dialogs.paths << infoPath << contentPath;
    window_.dialogs.answers << true;
    QTest::mouseClick(window_.Find<QPushButton>("btnsave"), Qt::LeftButton);
    QCOMPARE(window_.dialogs.fileDialogTitles,
             (QStringList{"保存扫描信息,请注意别保存到原数据所在盘，防止覆盖",
                          "保存所有碎片的内容,请注意别保存到原数据所在盘，防止覆盖"}));
    QCOMPARE(window_.dialogs.questions,
             QStringList{"保存碎片内容: 已经保存了扫描信息。是否需要保存所有碎片的内容"});
    QCOMPARE(window_.dialogs.messages.size(), 1);
    QCOMPARE(window_.dialogs.messages[0].text, "success");
    QCOMPARE(window_.Find<QProgressBar>("g1")->value(), 100);

    // The operator hides everything, then opens the saved scan: the list is back as saved.
    window_.Find<QLineEdit>("Edit1")->setText("0");
    window_.Find<QLineEdit>("edtendid")->setText("0");
    Filter("rb1");
    QCOMPARE(Model()->rowCount(), 0);
    window_.dialogs = ScriptedDialogs();
    window_.dialogs.paths << infoPath << contentPath;
    window_.dialogs.answers << true;
    QTest::mouseClick(window_.Find<QPushButton>("Button3"), Qt::LeftButton);

    QCOMPARE(window_.dialogs.questions,
             QStringList{"打开碎片内容: 已经打开了扫描信息。是否需要打开所有碎片的内容文件"});
    QVERIFY2(window_.dialogs.messages.isEmpty(), qPrintable(window_.dialogs.messages.value(0).text));
    const FragmentList& list = window_.form->CoreSession().fragments;
    QCOMPARE(list.Count(), kLines.size());
    for (std::size_t i = 0; i < kLines.size(); ++i)
        QCOMPARE(std::string(list.Line(i)), kLines[i]);
    QCOMPARE(Column(kColumnStartSector), (QStringList{"4000", "2048", "100", "9000"}));
    QCOMPARE(window_.Find<QTabWidget>("PageControl1")->currentIndex(), 1);
    QCOMPARE(window_.form->TargetFileNumber(), 3);
    QCOMPARE(window_.form->CoreSession().pageOrderIndex.Count(), kLines.size());

    // Page reads of fragments now come from the content file, in clear.
    Session& session = window_.form->CoreSession();
    QVERIFY(session.ContentFileMode());
    std::vector<std::uint8_t> page(kPageSize);
    QVERIFY(session.ReadFragmentSectors(2048, 16, 16, page.data()));
    QCOMPARE(fixtures::SectorNumberIn(page.data()), 2064);
}

void FragmentListTest::saveCancelledStillAsksForTheContents() {
    ShowLines();
    QTest::mouseClick(window_.Find<QPushButton>("btnsave"), Qt::LeftButton); // dialog cancelled, No
    QCOMPARE(window_.dialogs.fileDialogTitles.size(), 1);
    QCOMPARE(window_.dialogs.questions.size(), 1);
    QVERIFY(window_.dialogs.messages.isEmpty());
}

void FragmentListTest::badScanInfoFileKeepsTheList() {
    ShowLines();
    const fixtures::TempDir folder;
    const QString badPath = TempPath(folder, "bad.info");
    std::ofstream(badPath.toStdString()) << "not hexadecimal\r\n";
    window_.dialogs.paths << badPath;
    QTest::mouseClick(window_.Find<QPushButton>("Button3"), Qt::LeftButton);
    QCOMPARE(window_.dialogs.messages.size(), 1);
    QVERIFY(window_.dialogs.messages[0].text.contains("line 1"));
    QVERIFY(window_.dialogs.questions.isEmpty());
    QCOMPARE(window_.form->CoreSession().fragments.Count(), kLines.size());
    QCOMPARE(Model()->rowCount(), 4);
}

} // namespace vorthal::testing

int vorthal::testing::RunFragmentListTests(int argc, char* argv[]) {
    FragmentListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "fragment_list_test.moc"
