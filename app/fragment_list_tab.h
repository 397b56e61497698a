// Tab II: the fragment list view with its filter group and pop-up menu, and the buttons that save
// and open a scan.
#pragma once

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include "app/fragment_table_model.h"

namespace vorthal {

struct FragmentListTab {
    QWidget* TabSheet2;
    QTreeView* ListView2;
    FragmentTableModel* fragmentModel; // the rows of ListView2
    QMenu* PopupMenu1;
    QAction* N9;  // "提取勾选碎片到文件"
    QAction* N10; // "全部选择"
    QAction* N14; // "全部取消选择"
    QAction* N15; // "反向选择"
    QAction* N11; // "碎片过滤", an entry without action
    QAction* N12; // "统计勾选的碎片信息"
    QAction* N13; // "复制此碎片的开始扇区号到剪贴板"
    QAction* N16; // "把选择的碎片加入组合"
    QAction* N17; // "取勾选碎片的文件名"
    QAction* N18; // "取更新信息"
    QGroupBox* GroupBox1;
    QRadioButton* rb3;
    QRadioButton* rb1;
    QRadioButton* rb2;
    QLineEdit* Edit1;
    QLineEdit* edtendid;
    QLineEdit* edtpgid;
    QPushButton* edtfilter;
    QPushButton* btnsave;
    QPushButton* Button3;
};

FragmentListTab BuildFragmentListTab(QWidget* parent);

} // namespace vorthal
