#include "app/fragment_list_tab.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "app/named_widget.h"
#include "app/report_view.h"

namespace vorthal {
namespace {

void BuildPopupMenu(FragmentListTab& tab) {
    tab.PopupMenu1 = MakeNamed<QMenu>("PopupMenu1", tab.ListView2);
    tab.N9 = AddNamedEntry(tab.PopupMenu1, "N9", "提取勾选碎片到文件");
    tab.N10 = AddNamedEntry(tab.PopupMenu1, "N10", "全部选择");
    tab.N14 = AddNamedEntry(tab.PopupMenu1, "N14", "全部取消选择");
    tab.N15 = AddNamedEntry(tab.PopupMenu1, "N15", "反向选择");
    tab.N11 = AddNamedEntry(tab.PopupMenu1, "N11", "碎片过滤");
    tab.N12 = AddNamedEntry(tab.PopupMenu1, "N12", "统计勾选的碎片信息");
    tab.N13 = AddNamedEntry(tab.PopupMenu1, "N13", "复制此碎片的开始扇区号到剪贴板");
    tab.N16 = AddNamedEntry(tab.PopupMenu1, "N16", "把选择的碎片加入组合");
    tab.N17 = AddNamedEntry(tab.PopupMenu1, "N17", "取勾选碎片的文件名");
    tab.N18 = AddNamedEntry(tab.PopupMenu1, "N18", "取更新信息");
    tab.ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(tab.ListView2, &QWidget::customContextMenuRequested, tab.PopupMenu1,
                     [view = tab.ListView2, menu = tab.PopupMenu1](QPoint at) {
                         menu->popup(view->viewport()->mapToGlobal(at));
                     });
}

QRadioButton* MakeRadio(const char* name, const QString& caption, QButtonGroup* group, QWidget* parent) {
    auto* radio = MakeNamed<QRadioButton>(name, caption, parent);
    group->addButton(radio);
    return radio;
}

// No radio button is selected at start; the exclusive group keeps one selected once chosen.
QGroupBox* BuildFilterGroup(FragmentListTab& tab, QWidget* page) {
    tab.GroupBox1 = MakeNamed<QGroupBox>("GroupBox1", "开始页面号范围", page);
    QWidget* group = tab.GroupBox1;
    auto* choices = new QButtonGroup(group);
    tab.rb3 = MakeRadio("rb3", "全部显示", choices, group);
    tab.rb1 = MakeRadio("rb1", "开始页面号范围", choices, group);
    tab.rb2 = MakeRadio("rb2", "含如ID的碎片", choices, group);
    tab.Edit1 = MakeNamed<QLineEdit>("Edit1", "edtbeginid", group);
    tab.edtendid = MakeNamed<QLineEdit>("edtendid", "edtendid", group);
    tab.edtpgid = MakeNamed<QLineEdit>("edtpgid", "edtpgid", group);
    tab.edtfilter = MakeNamed<QPushButton>("edtfilter", "过滤", group);

    auto* grid = new QGridLayout(group);
    grid->addWidget(tab.rb3, 0, 0);
    grid->addWidget(tab.rb1, 0, 1);
    grid->addWidget(new QLabel(">=", group), 0, 2);
    grid->addWidget(tab.Edit1, 0, 3);
    grid->addWidget(new QLabel("<", group), 0, 4);
    grid->addWidget(tab.edtendid, 0, 5);
    grid->addWidget(tab.rb2, 0, 6);
    grid->addWidget(tab.edtpgid, 0, 7);
    grid->addWidget(tab.edtfilter, 0, 8);
    return tab.GroupBox1;
}

} // namespace

FragmentListTab BuildFragmentListTab(QWidget* parent) {
    FragmentListTab tab{};
    tab.TabSheet2 = MakeNamed<QWidget>("TabSheet2", parent);
    QWidget* page = tab.TabSheet2;

    const std::vector<ReportColumn> columns = {{"序号", 100},      {"碎片大小(KB)", 80}, {"开始页面号", 80},
                                               {"结束页面号", 80}, {"备注", 800},        {"开始扇区", 0},
                                               {"结束扇区", 0}};
    tab.fragmentModel = new FragmentTableModel(ReportCaptions(columns), page);
    tab.ListView2 = MakeReportView("ListView2", columns, page, tab.fragmentModel);
    // Selection stays visible when the list loses the focus; a header click sorts (the window
    // decides whether it may).
    tab.ListView2->setSelectionMode(QAbstractItemView::SingleSelection);
    tab.ListView2->header()->setSectionsClickable(true);
    BuildPopupMenu(tab);

    tab.btnsave = MakeNamed<QPushButton>("btnsave", "保存此次扫描信息(SAVE)", page);
    tab.Button3 = MakeNamed<QPushButton>("Button3", "打开扫描信息文件(OPEN)", page);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(tab.btnsave);
    buttons->addWidget(tab.Button3);
    auto* tools = new QHBoxLayout;
    tools->addWidget(BuildFilterGroup(tab, page), 1);
    tools->addLayout(buttons);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tab.ListView2, 1);
    layout->addLayout(tools);
    return tab;
}

} // namespace vorthal
