#include "app/report_view.h"

#include <QHeaderView>
#include <QStandardItemModel>

namespace vorthal {

QStringList ReportCaptions(const std::vector<ReportColumn>& columns) {
    QStringList captions;
    for (const ReportColumn& column : columns)
        captions << column.caption;
    return captions;
}

QTreeView* MakeReportView(const QString& objectName, const std::vector<ReportColumn>& columns,
                          QWidget* parent, QAbstractItemModel* model) {
    auto* view = new QTreeView(parent);
    view->setObjectName(objectName);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true); // keeps millions of rows cheap to lay out
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    if (model == nullptr) {
        auto* captionsOnly = new QStandardItemModel(0, static_cast<int>(columns.size()), view);
        captionsOnly->setHorizontalHeaderLabels(ReportCaptions(columns));
        model = captionsOnly;
    }
    view->setModel(model);

    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setSectionsMovable(false);
    for (int column = 0; column < model->columnCount(); ++column) {
        header->resizeSection(column, columns[static_cast<std::size_t>(column)].width);
    }
    return view;
}

} // namespace vorthal
