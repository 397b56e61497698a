#include "app/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vorthal {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

void QtDialogs::ShowMessage(const QString& title, const QString& text, MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, owner_);
    box.exec();
}

bool QtDialogs::Ask(const QString& title, const QString& question) {
    return QMessageBox::question(owner_, title, question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString QtDialogs::GetOpenFileName(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(owner_, title, QString(), filter);
}

QString QtDialogs::GetSaveFileName(const QString& title, const QString& proposedName) {
    return QFileDialog::getSaveFileName(owner_, title, proposedName);
}

QString QtDialogs::GetExistingDirectory(const QString& title) {
    return QFileDialog::getExistingDirectory(owner_, title);
}

} // namespace vorthal
