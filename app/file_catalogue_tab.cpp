#include "app/file_catalogue_tab.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/log_memo.h"
#include "app/named_widget.h"
#include "app/report_view.h"

namespace vorthal {

FileCatalogueTab BuildFileCatalogueTab(QWidget* parent) {
    FileCatalogueTab tab{};
    tab.TabSheet3 = MakeNamed<QWidget>("TabSheet3", parent);
    QWidget* page = tab.TabSheet3;

    tab.ListView3 = MakeReportView("ListView3",
                                   {{"序号", 100},
                                    {"文件名", 800},
                                    {"碎片大小(KB)", 0},
                                    {"开始页面号", 0},
                                    {"结束页面号", 0},
                                    {"开始扇区", 0},
                                    {"结束扇区", 0}},
                                   page);
    tab.ListView3->setSelectionMode(QAbstractItemView::SingleSelection);
    tab.Memo2 = MakeLogMemo("Memo2", page);
    tab.Button1 = MakeNamed<QPushButton>("Button1", "分析该碎片(FILTER)", page);
    tab.chkauto = MakeNamed<QCheckBox>("chkauto", "自动模式", page);
    tab.chkauto->setChecked(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(tab.Button1);
    controls->addWidget(tab.chkauto);
    controls->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tab.ListView3, 3);
    layout->addLayout(controls);
    layout->addWidget(tab.Memo2, 2);
    return tab;
}

} // namespace vorthal
