// The main window without a core: start state, tabs, menu, the tab-change rule, the handlers that
// need no run, and the About window. Dialogs are answered by ScriptedDialogs; nothing sleeps.
#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <memory>

#include "app/about_window.h"
#include "app/main_window.h"
#include "tests/app/app_test_suites.h"
#include "tests/app/scripted_dialogs.h"
#include "tests/app/test_device_platform.h"

namespace vorthal::testing {

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    template <typename Widget = QWidget> Widget* Find(const char* name) {
        auto* found = form_->findChild<Widget*>(name);
        if (found == nullptr)
            qFatal("no child named %s", name);
        return found;
    }
    QTabWidget* Tabs() { return Find<QTabWidget>("PageControl1"); }
    void ClickTabHeader(int index) {
        QTabBar* bar = Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<TForm1> form_;

  private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        form_ = std::make_unique<TForm1>(dialogs_, std::make_unique<TestDevicePlatform>());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void startState_data();
    void startState();
    void applicationTitleAndChineseCaptionsFont();
    void tabCaptionsAndStartTab();
    void mainMenuEntriesInOrder();
    void contextMenusOpenWithTheirEntriesInOrder();
    void listViewColumns_data();
    void listViewColumns();
    void windowHasFixedClientArea();
    void gaugeShowsPercentAndStatusPanelIsFixed();
    void logsAppendToTheMemoOfTheirTab();
    void tabIIIListIsRequestedOnlyWhenTheOperatorEntersIt();
    void label7SwitchesBetweenPictureAndSteps();
    void checkBox1ClickEnablesMaxPageEdit();
    void scanWithoutSourceWarnsAndFocusesSourceField_data();
    void scanWithoutSourceWarnsAndFocusesSourceField();
    void aboutWindowOpensOnTopWithoutBlocking_data();
    void aboutWindowOpensOnTopWithoutBlocking();
    void exitEntryClosesWindow();
};

void MainWindowTest::startState_data() {
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");
    const auto row = [](const char* name, const char* property, const QVariant& expected) {
        QTest::addRow("%s.%s", name, property) << QString(name) << QString(property) << expected;
    };
    row("TForm1", "windowTitle", "Vorthal Recover for SQLSERVER");
    row("N1", "title", "操作(OPERATION)");
    row("N2", "text", "开始扫描(SCAN)");
    row("N3", "text", "停止扫描(STOP)");
    row("N5", "text", "退出");
    row("N6", "text", "关于(ABOUT)");
    row("grp1", "title", "  数据源(DATASOURCE)  ");
    row("edtDataStr", "text", "......右键设置数据源(RIGHT CLICK TO CHOOSE DS )......");
    row("edtDataStr", "readOnly", true);
    row("N7", "text", "打开镜像文件");
    row("label5", "text", "");
    row("btnscan", "text", "开始扫描(SCAN)");
    row("btnscan", "enabled", true);
    row("btnstop", "text", "停止扫描(STOP)");
    row("pnl2", "text", "扫描设置:(非专业人员建议不选择) OPTIONS" + QString(30, ' '));
    row("chkfreespace", "text", "只扫描空闲簇(FREE SPACE ONLY)");
    row("chkfreespace", "checked", true);
    row("chkfreespace", "enabled", true);
    row("Label1", "text", "开始扇区");
    row("edtbegin", "text", "");
    row("Label2", "text", "结束扇区");
    row("edtend", "text", "");
    row("Label3", "text", "每簇扇区数");
    row("edtsecs", "text", "");
    row("CheckBox1", "text", "开始页面号小于");
    row("CheckBox1", "checked", false);
    row("edtmaxpageid", "text", "");
    row("edtmaxpageid", "enabled", true); // enabled although unticked, until the first click
    row("Label9", "text", "文件ID");
    row("Edit2", "text", "1");
    row("pnl1", "text", QString(9, ' ') + "扫描图分区信息;" + QString(91, ' '));
    row("Memo1", "plainText", "");
    row("Memo1", "readOnly", true);
    row("Label7", "text", "使  用  说 明");
    row("img1", "visible", true);
    row("lbl1", "visible", false);
    row("GroupBox1", "title", "开始页面号范围");
    row("rb3", "text", "全部显示");
    row("rb3", "checked", false);
    row("rb1", "text", "开始页面号范围");
    row("rb1", "checked", false);
    row("rb2", "text", "含如ID的碎片");
    row("rb2", "checked", false);
    row("Edit1", "text", "edtbeginid");
    row("edtendid", "text", "edtendid");
    row("edtpgid", "text", "edtpgid");
    row("edtfilter", "text", "过滤");
    row("btnsave", "text", "保存此次扫描信息(SAVE)");
    row("Button3", "text", "打开扫描信息文件(OPEN)");
    row("N9", "text", "提取勾选碎片到文件");
    row("N10", "text", "全部选择");
    row("N14", "text", "全部取消选择");
    row("N15", "text", "反向选择");
    row("N11", "text", "碎片过滤");
    row("N12", "text", "统计勾选的碎片信息");
    row("N13", "text", "复制此碎片的开始扇区号到剪贴板");
    row("N16", "text", "把选择的碎片加入组合");
    row("N17", "text", "取勾选碎片的文件名");
    row("N18", "text", "取更新信息");
    row("Button1", "text", "分析该碎片(FILTER)");
    row("Button1", "enabled", true);
    row("chkauto", "text", "自动模式");
    row("chkauto", "checked", true);
    row("Memo2", "plainText", "");
    row("Memo2", "readOnly", true);
    row("Button6", "text", "查找遗漏碎片(SEARCH MORE)");
    row("Button6", "enabled", true);
    row("Button5", "text", "检查遗漏页(CHECK)");
    row("Button5", "enabled", false);
    row("Button2", "text", "组合MDF(CREATE MDF)");
    row("Button2", "enabled", false);
    row("Memo3", "plainText", "");
    row("Memo3", "readOnly", true);
    row("g1", "value", 0);
    row("g1", "textVisible", true);
    row("Button7", "text", "业务联系专业恢复(ABOUT)");
    row("stat1Panel", "text", "");
}

void MainWindowTest::startState() {
    QFETCH(QString, objectName);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    QObject* control = objectName == "TForm1" ? form_.get() : form_->findChild<QObject*>(objectName);
    QVERIFY2(control != nullptr, qPrintable("no control " + objectName));
    const QVariant actual = control->property(property.toUtf8().constData());
    QVERIFY2(actual.isValid(), qPrintable("no property " + property));
    QCOMPARE(actual, expected);
}

void MainWindowTest::applicationTitleAndChineseCaptionsFont() {
    QCOMPARE(QCoreApplication::applicationName(), "Vorthal");
    // Captions render only when the font the window chooses has Chinese glyphs of its own,
    // rather than boxes or a fallback picked per character.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    QVERIFY2(chinese.contains(QFontInfo(form_->font()).family()),
             qPrintable(QFontInfo(form_->font()).family()));
    QVERIFY(chinese.contains(QFontInfo(Tabs()->tabBar()->font()).family()));
}

void MainWindowTest::tabCaptionsAndStartTab() {
    QTabWidget* tabs = Tabs();
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(0), "  Ⅰ  选择数据源(DATA SOURCE)     ");
    QCOMPARE(tabs->tabText(1), "  Ⅱ  碎片列表(FRAGMENT LIST )        ");
    QCOMPARE(tabs->tabText(2), "  Ⅲ  分析碎片(FILTER)       ");
    QCOMPARE(tabs->tabText(3), "   Ⅳ  组合MDF(CREATE MDF)     ");
    QCOMPARE(tabs->widget(0)->objectName(), "TabSheet1");
    QCOMPARE(tabs->widget(3)->objectName(), "TabSheet4");
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->tabBar()->font().pixelSize(), 14);
    QVERIFY(tabs->widget(3)->font().bold());
}

void MainWindowTest::mainMenuEntriesInOrder() {
    const QList<QAction*> topLevel = form_->menuBar()->actions();
    QCOMPARE(topLevel.size(), 2);
    QCOMPARE(topLevel[0]->menu(), Find<QMenu>("N1"));
    QCOMPARE(topLevel[1], Find<QAction>("N6"));
    const QList<QAction*> operation = Find<QMenu>("N1")->actions();
    QCOMPARE(operation.size(), 4);
    QCOMPARE(operation[0]->objectName(), "N2");
    QCOMPARE(operation[1]->objectName(), "N3");
    QVERIFY(operation[2]->isSeparator());
    QCOMPARE(operation[2]->objectName(), "N4");
    QCOMPARE(operation[3]->objectName(), "N5");
}

void MainWindowTest::contextMenusOpenWithTheirEntriesInOrder() {
    const auto names = [](const QMenu* menu) {
        QStringList entries;
        for (const QAction* entry : menu->actions())
            entries << (entry->isSeparator() ? "-" : entry->objectName());
        return entries;
    };
    auto* sourceMenu = Find<QMenu>("pm1");
    QCOMPARE(names(sourceMenu), (QStringList{"N7", "-", "-"})); // a machine without drives or volumes
    auto* fragmentMenu = Find<QMenu>("PopupMenu1");
    QCOMPARE(names(fragmentMenu),
             (QStringList{"N9", "N10", "N14", "N15", "N11", "N12", "N13", "N16", "N17", "N18"}));

    // A right click on the source field and on the fragment list opens their menus.
    const auto rightClick = [](QWidget* target) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(target, &event);
    };
    rightClick(Find<QLineEdit>("edtDataStr"));
    QVERIFY(sourceMenu->isVisible());
    sourceMenu->close();
    rightClick(Find<QTreeView>("ListView2")->viewport());
    QVERIFY(fragmentMenu->isVisible());
    fragmentMenu->close();
}

void MainWindowTest::listViewColumns_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("fragment list") << "ListView2"
                                   << QStringList{"序号", "碎片大小(KB)", "开始页面号", "结束页面号",
                                                  "备注", "开始扇区",     "结束扇区"}
                                   << QList<int>{100, 80, 80, 80, 800, 0, 0};
    QTest::newRow("database files") << "ListView3"
                                    << QStringList{"序号",       "文件名",   "碎片大小(KB)", "开始页面号",
                                                   "结束页面号", "开始扇区", "结束扇区"}
                                    << QList<int>{100, 800, 0, 0, 0, 0, 0};
    QTest::newRow("combination list")
        << "ListView4"
        << QStringList{"序号", "碎片大小(KB)", "起始页面号", "结束页面号", "备注", "开始扇区", "结束扇区"}
        << QList<int>{100, 100, 100, 100, 800, 0, 0};
}

void MainWindowTest::listViewColumns() {
    QFETCH(QString, view);
    QFETCH(QStringList, captions);
    QFETCH(QList<int>, widths);
    auto* list = form_->findChild<QTreeView*>(view);
    QVERIFY(list != nullptr);
    QCOMPARE(list->model()->columnCount(), captions.size());
    for (int column = 0; column < captions.size(); ++column) {
        QCOMPARE(list->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
        QCOMPARE(list->header()->sectionSize(column), widths[column]);
        // A zero-width column is still there for the operator to drag open.
        QVERIFY(!list->header()->isSectionHidden(column));
    }
}

void MainWindowTest::windowHasFixedClientArea() {
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QCOMPARE(form_->width(), TForm1::kClientWidth);
    QCOMPARE(form_->height() - form_->menuBar()->height(), TForm1::kClientHeight);
    QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form_->windowFlags() & Qt::WindowMinimizeButtonHint);
}

void MainWindowTest::gaugeShowsPercentAndStatusPanelIsFixed() {
    auto* gauge = Find<QProgressBar>("g1");
    QCOMPARE(gauge->text(), "0%");
    form_->SetGauge(37);
    QCOMPARE(gauge->text(), "37%");
    form_->SetGauge(100);
    QCOMPARE(gauge->text(), "100%");

    auto* panel = Find<QLabel>("stat1Panel");
    QCOMPARE(panel->width(), 200);
    form_->SetStatus("完成");
    QCOMPARE(panel->text(), "完成");
}

void MainWindowTest::logsAppendToTheMemoOfTheirTab() {
    form_->AppendLog(LogPane::Scan, "开始扫描2026/12/11 9:05:07");
    form_->AppendLog(LogPane::Scan, "512error1sec2048");
    form_->AppendLog(LogPane::Analysis, "analysis line");
    form_->AppendLog(LogPane::Assembly, "assembly line");
    QCOMPARE(Find<QPlainTextEdit>("Memo1")->toPlainText(), "开始扫描2026/12/11 9:05:07\n512error1sec2048");
    QCOMPARE(Find<QPlainTextEdit>("Memo2")->toPlainText(), "analysis line");
    QCOMPARE(Find<QPlainTextEdit>("Memo3")->toPlainText(), "assembly line");
}

void MainWindowTest::tabIIIListIsRequestedOnlyWhenTheOperatorEntersIt() {
    QSignalSpy requests(form_.get(), &TForm1::DatabaseFileListRequested);
    ClickTabHeader(2);
    QCOMPARE(Tabs()->currentIndex(), 2);
    QCOMPARE(requests.count(), 1);
    ClickTabHeader(1);
    ClickTabHeader(3);
    QCOMPARE(requests.count(), 1);
    ClickTabHeader(2);
    QCOMPARE(requests.count(), 2);

    form_->ShowTabFromProgram(0);
    form_->ShowTabFromProgram(2);
    QCOMPARE(Tabs()->currentIndex(), 2);
    QCOMPARE(requests.count(), 2);

    // The keyboard is the operator too.
    ClickTabHeader(3);
    QTest::keyClick(Tabs()->tabBar(), Qt::Key_Left);
    QCOMPARE(Tabs()->currentIndex(), 2);
    QCOMPARE(requests.count(), 3);
}

void MainWindowTest::label7SwitchesBetweenPictureAndSteps() {
    auto* label7 = Find<QLabel>("Label7");
    auto* picture = Find<QLabel>("img1");
    auto* steps = Find<QLabel>("lbl1");
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(steps->text().contains("恢复步骤"));

    QTest::mouseClick(label7, Qt::LeftButton);
    QVERIFY(!picture->isVisible());
    QVERIFY(steps->isVisible());
    QTest::mouseClick(label7, Qt::LeftButton);
    QVERIFY(picture->isVisible());
    QVERIFY(!steps->isVisible());
}

void MainWindowTest::checkBox1ClickEnablesMaxPageEdit() {
    auto* box = Find<QCheckBox>("CheckBox1");
    auto* edit = Find<QLineEdit>("edtmaxpageid");
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QVERIFY(edit->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!box->isChecked());
    QVERIFY(!edit->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(edit->isEnabled());
}

void MainWindowTest::scanWithoutSourceWarnsAndFocusesSourceField_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
}

void MainWindowTest::scanWithoutSourceWarnsAndFocusesSourceField() {
    QFETCH(bool, fromMenu);
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    Find<QLineEdit>("Edit2")->setFocus();
    if (fromMenu) {
        Find<QAction>("N2")->trigger();
    } else {
        QTest::mouseClick(Find<QPushButton>("btnscan"), Qt::LeftButton);
    }

    QCOMPARE(dialogs_.messages.size(), 1);
    QCOMPARE(dialogs_.messages[0].title, "提示");
    QCOMPARE(dialogs_.messages[0].text, "请选择数据源！");
    QCOMPARE(dialogs_.messages[0].icon, MessageIcon::Warning);
    QCOMPARE(QApplication::focusWidget(), Find<QLineEdit>("edtDataStr"));
    QVERIFY(Find<QPushButton>("btnscan")->isEnabled());
    QVERIFY(!form_->RunActive());
}

void MainWindowTest::aboutWindowOpensOnTopWithoutBlocking_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("menu N6") << true;
    QTest::newRow("button Button7") << false;
}

void MainWindowTest::aboutWindowOpensOnTopWithoutBlocking() {
    QFETCH(bool, fromMenu);
    const auto open = [&] {
        if (fromMenu) {
            Find<QAction>("N6")->trigger();
        } else {
            QTest::mouseClick(Find<QPushButton>("Button7"), Qt::LeftButton);
        }
    };
    QVERIFY(form_->findChild<AboutWindow*>() == nullptr);
    open(); // returns: the window does not block
    auto* about = form_->findChild<AboutWindow*>();
    QVERIFY(about != nullptr);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
    const auto* contact = about->findChild<QLabel*>("aboutContact");
    QVERIFY(contact->text().contains("Vorthal Data Recovery"));
    QVERIFY(contact->text().contains("@vorthal.example.com"));

    about->close();
    open();
    QCOMPARE(form_->findChildren<AboutWindow*>().size(), 1);
    QVERIFY(about->isVisible());
}

void MainWindowTest::exitEntryClosesWindow() {
    Find<QAction>("N5")->trigger();
    QVERIFY(!form_->isVisible());
}

} // namespace vorthal::testing

int vorthal::testing::RunMainWindowTests(int argc, char* argv[]) {
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
