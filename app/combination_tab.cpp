#include "app/combination_tab.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/log_memo.h"
#include "app/named_widget.h"
#include "app/report_view.h"

namespace vorthal {

CombinationTab BuildCombinationTab(QWidget* parent) {
    CombinationTab tab{};
    tab.TabSheet4 = MakeNamed<QWidget>("TabSheet4", parent);
    QWidget* page = tab.TabSheet4;
    QFont bold = page->font();
    bold.setBold(true);
    page->setFont(bold);

    tab.ListView4 = MakeReportView("ListView4",
                                   {{"序号", 100},
                                    {"碎片大小(KB)", 100},
                                    {"起始页面号", 100},
                                    {"结束页面号", 100},
                                    {"备注", 800},
                                    {"开始扇区", 0},
                                    {"结束扇区", 0}},
                                   page);
    tab.Button6 = MakeNamed<QPushButton>("Button6", "查找遗漏碎片(SEARCH MORE)", page);
    tab.Button5 = MakeNamed<QPushButton>("Button5", "检查遗漏页(CHECK)", page);
    tab.Button5->setEnabled(false);
    tab.Button2 = MakeNamed<QPushButton>("Button2", "组合MDF(CREATE MDF)", page);
    tab.Button2->setEnabled(false);
    tab.Memo3 = MakeLogMemo("Memo3", page);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tab.Button6);
    buttons->addWidget(tab.Button5);
    buttons->addWidget(tab.Button2);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tab.ListView4, 3);
    layout->addLayout(buttons);
    layout->addWidget(tab.Memo3, 2);
    return tab;
}

} // namespace vorthal
