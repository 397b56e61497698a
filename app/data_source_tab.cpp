#include "app/data_source_tab.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/decorative_picture.h"
#include "app/log_memo.h"
#include "app/named_widget.h"

namespace vorthal {
namespace {

// The right half keeps its width whether it shows the picture or the steps.
constexpr int kInstructionsWidth = 420;

const char* const kRecoverySteps =
    "<h3>恢复步骤</h3>"
    "<ol>"
    "<li>在第Ⅰ页右键点击数据源框，选择分区、物理磁盘或镜像文件。文件被删除后保持默认设置；"
    "分区被格式化后请取消“只扫描空闲簇(FREE SPACE ONLY)”；其他选项供专业人员使用。"
    "点击“开始扫描(SCAN)”，等待状态栏显示“完成”。<br></li>"
    "<li>在第Ⅱ页查看找到的碎片；可以保存扫描信息，以后再打开继续恢复。<br></li>"
    "<li>在第Ⅲ页选择要恢复的数据库文件，点击“分析该碎片(FILTER)”；分析完成后转到第Ⅳ页。<br></li>"
    "<li>在第Ⅳ页反复点击“查找遗漏碎片(SEARCH MORE)”，直到找到 0 个碎片；"
    "然后点击“检查遗漏页(CHECK)”，最后点击“组合MDF(CREATE MDF)”写出恢复的数据文件。</li>"
    "</ol>"
    "<p>请勿把任何文件保存到原数据所在的磁盘。</p>";

QLabel* MakeHeadingPanel(const char* name, const QString& caption, QWidget* parent) {
    QLabel* panel = MakeNamed<QLabel>(name, caption, parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return panel;
}

QGroupBox* BuildSourceGroup(DataSourceTab& tab, QWidget* page) {
    tab.grp1 = MakeNamed<QGroupBox>("grp1", "  数据源(DATASOURCE)  ", page);
    tab.edtDataStr =
        MakeNamed<QLineEdit>("edtDataStr", "......右键设置数据源(RIGHT CLICK TO CHOOSE DS )......", tab.grp1);
    tab.edtDataStr->setReadOnly(true);
    tab.edtDataStr->setContextMenuPolicy(Qt::CustomContextMenu);
    tab.pm1 = MakeNamed<QMenu>("pm1", tab.edtDataStr);
    tab.N7 = AddNamedEntry(tab.pm1, "N7", "打开镜像文件");
    tab.pm1->addSeparator();

    tab.label5 = MakeNamed<QLabel>("label5", QString(), tab.grp1);
    tab.btnscan = MakeNamed<QPushButton>("btnscan", "开始扫描(SCAN)", tab.grp1);
    tab.btnstop = MakeNamed<QPushButton>("btnstop", "停止扫描(STOP)", tab.grp1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tab.label5, 1);
    buttons->addWidget(tab.btnscan);
    buttons->addWidget(tab.btnstop);
    auto* layout = new QVBoxLayout(tab.grp1);
    layout->addWidget(tab.edtDataStr);
    layout->addLayout(buttons);
    return tab.grp1;
}

QGridLayout* BuildScanOptions(DataSourceTab& tab, QWidget* page) {
    tab.chkfreespace = MakeNamed<QCheckBox>("chkfreespace", "只扫描空闲簇(FREE SPACE ONLY)", page);
    tab.chkfreespace->setChecked(true);
    tab.edtbegin = MakeNamed<QLineEdit>("edtbegin", QString(), page);
    tab.edtend = MakeNamed<QLineEdit>("edtend", QString(), page);
    tab.edtsecs = MakeNamed<QLineEdit>("edtsecs", QString(), page);
    tab.CheckBox1 = MakeNamed<QCheckBox>("CheckBox1", "开始页面号小于", page);
    tab.edtmaxpageid = MakeNamed<QLineEdit>("edtmaxpageid", QString(), page);
    tab.Edit2 = MakeNamed<QLineEdit>("Edit2", "1", page);

    auto* grid = new QGridLayout;
    grid->addWidget(tab.chkfreespace, 0, 0, 1, 4);
    grid->addWidget(MakeNamed<QLabel>("Label1", "开始扇区", page), 1, 0);
    grid->addWidget(tab.edtbegin, 1, 1);
    grid->addWidget(MakeNamed<QLabel>("Label2", "结束扇区", page), 1, 2);
    grid->addWidget(tab.edtend, 1, 3);
    grid->addWidget(MakeNamed<QLabel>("Label3", "每簇扇区数", page), 2, 0);
    grid->addWidget(tab.edtsecs, 2, 1);
    grid->addWidget(MakeNamed<QLabel>("Label9", "文件ID", page), 2, 2);
    grid->addWidget(tab.Edit2, 2, 3);
    grid->addWidget(tab.CheckBox1, 3, 0);
    grid->addWidget(tab.edtmaxpageid, 3, 1);
    return grid;
}

QWidget* BuildInstructionsArea(DataSourceTab& tab, QWidget* page) {
    auto* area = MakeNamed<QWidget>("instructionsArea", page);
    area->setFixedWidth(kInstructionsWidth);
    tab.Label7 = MakeNamed<LinkLabel>("Label7", "使  用  说 明", area);
    tab.img1 = MakeNamed<QLabel>("img1", QString(), area);
    tab.img1->setPixmap(DrawRecoveryPicture(QSize(kInstructionsWidth - 20, 440)));
    tab.img1->setAlignment(Qt::AlignCenter);
    tab.lbl1 = MakeNamed<QLabel>("lbl1", kRecoverySteps, area);
    tab.lbl1->setTextFormat(Qt::RichText);
    tab.lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tab.lbl1->setWordWrap(true);
    tab.lbl1->hide();

    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tab.Label7, 0, Qt::AlignHCenter);
    layout->addWidget(tab.img1, 1);
    layout->addWidget(tab.lbl1, 1);
    return area;
}

} // namespace

DataSourceTab BuildDataSourceTab(QWidget* parent) {
    DataSourceTab tab{};
    tab.TabSheet1 = MakeNamed<QWidget>("TabSheet1", parent);
    QWidget* page = tab.TabSheet1;

    tab.pnl2 = MakeHeadingPanel("pnl2", "扫描设置:(非专业人员建议不选择) OPTIONS" + QString(30, ' '), page);
    tab.pnl1 = MakeHeadingPanel("pnl1", QString(9, ' ') + "扫描图分区信息;" + QString(91, ' '), page);
    tab.Memo1 = MakeLogMemo("Memo1", page);

    auto* left = new QVBoxLayout;
    left->addWidget(BuildSourceGroup(tab, page));
    left->addWidget(tab.pnl2);
    left->addLayout(BuildScanOptions(tab, page));
    left->addWidget(tab.pnl1);
    left->addWidget(tab.Memo1, 1);

    auto* divider = MakeNamed<QFrame>("pnl3", page);
    divider->setFrameStyle(QFrame::VLine | QFrame::Sunken);

    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addWidget(divider);
    layout->addWidget(BuildInstructionsArea(tab, page));
    return tab;
}

} // namespace vorthal
