// Tab IV: the combination list, the second search, the missing-page check, the build of the data
// file and their log.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

namespace vorthal {

struct CombinationTab {
    QWidget* TabSheet4;
    QTreeView* ListView4;
    QPushButton* Button6; // "查找遗漏碎片(SEARCH MORE)"
    QPushButton* Button5; // "检查遗漏页(CHECK)", enabled once the list is sorted by begin page
    QPushButton* Button2; // "组合MDF(CREATE MDF)", likewise
    QPlainTextEdit* Memo3;
};

CombinationTab BuildCombinationTab(QWidget* parent);

} // namespace vorthal
