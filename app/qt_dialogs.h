// The dialogs of the program: QMessageBox and QFileDialog.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/dialogs.h"

namespace vorthal {

class QtDialogs : public Dialogs {
  public:
    // Dialogs are centred on `owner` once it is set; before that they have no owner window.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(const QString& title, const QString& text, MessageIcon icon) override;
    bool Ask(const QString& title, const QString& question) override;
    QString GetOpenFileName(const QString& title, const QString& filter) override;
    QString GetSaveFileName(const QString& title, const QString& proposedName) override;
    QString GetExistingDirectory(const QString& title) override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace vorthal
