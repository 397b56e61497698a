// The report-style list views of the window (fragment list, database files, combination list):
// a QTreeView without tree decoration, selecting whole rows, with fixed column captions and
// start widths. A width of 0 hides a column that still holds its values; the operator can drag
// it open. A view given no model holds an empty one that only carries the column captions.
#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>
#include <QTreeView>

#include <vector>

namespace vorthal {

struct ReportColumn {
    QString caption;
    int width;
};

QTreeView* MakeReportView(const QString& objectName, const std::vector<ReportColumn>& columns,
                          QWidget* parent, QAbstractItemModel* model = nullptr);

// The captions of `columns`, in order.
QStringList ReportCaptions(const std::vector<ReportColumn>& columns);

} // namespace vorthal
