// Tab III: the database files found, the analysis button, the automatic-mode box and the
// analysis log.
#pragma once

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

namespace vorthal {

struct FileCatalogueTab {
    QWidget* TabSheet3;
    QTreeView* ListView3;
    QPlainTextEdit* Memo2;
    QPushButton* Button1;
    QCheckBox* chkauto;
};

FileCatalogueTab BuildFileCatalogueTab(QWidget* parent);

} // namespace vorthal
