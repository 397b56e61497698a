// Every message box, question and file dialog of the window goes through this interface, so the
// program shows real dialogs while tests answer them from a script without a person.
#pragma once

#include <QString>

#include "base/observer.h"

namespace vorthal {

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A modal message with an OK button; returns when it was closed.
    virtual void ShowMessage(const QString& title, const QString& text, MessageIcon icon) = 0;
    // A modal Yes/No question; true for Yes.
    virtual bool Ask(const QString& title, const QString& question) = 0;
    // The chosen path, or an empty text when the operator cancelled. `filter` is in Qt's form,
    // for example "镜像文件 (*.img *.bin);;所有文件 (*)".
    virtual QString GetOpenFileName(const QString& title, const QString& filter) = 0;
    virtual QString GetSaveFileName(const QString& title, const QString& proposedName) = 0;
    virtual QString GetExistingDirectory(const QString& title) = 0;
};

} // namespace vorthal
