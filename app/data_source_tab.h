// Tab I: the data source, the scan options, the scan log and the instructions area.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/link_label.h"

namespace vorthal {

struct DataSourceTab {
    QWidget* TabSheet1;
    QGroupBox* grp1;
    QLineEdit* edtDataStr;
    // The data-source menu of edtDataStr: its fixed entries here; the window adds the drives and
    // volumes and opens it on a right click.
    QMenu* pm1;
    QAction* N7; // "打开镜像文件"
    QLabel* label5;
    QPushButton* btnscan;
    QPushButton* btnstop;
    QLabel* pnl2;
    QCheckBox* chkfreespace;
    QLineEdit* edtbegin;
    QLineEdit* edtend;
    QLineEdit* edtsecs;
    QCheckBox* CheckBox1;
    QLineEdit* edtmaxpageid;
    QLineEdit* Edit2;
    QLabel* pnl1;
    QPlainTextEdit* Memo1;
    LinkLabel* Label7;
    QLabel* img1;
    QLabel* lbl1;
};

DataSourceTab BuildDataSourceTab(QWidget* parent);

} // namespace vorthal
