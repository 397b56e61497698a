// The report-style list views of the window (fragment list, database files, combination list):
// a QTreeView without tree decoration, selecting whole rows, with fixed column captions and
// start widths. A width of 0 hides a column that still holds its values; the operator can drag
// it open. Until the views get their models over the fragment list, they hold an empty model that
// only carries the column captions.
#pragma once

#include <QString>
#include <QTreeView>

#include <vector>

namespace vorthal {

struct ReportColumn {
    QString caption;
    int width;
};

QTreeView* MakeReportView(const QString& objectName, const std::vector<ReportColumn>& columns,
                          QWidget* parent);

} // namespace vorthal
