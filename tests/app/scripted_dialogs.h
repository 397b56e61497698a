// Dialogs for the window tests: records every message, question and file dialog, and answers
// from a script. A question nobody scripted is answered No; a file dialog nobody scripted is
// cancelled. Both are recorded, so a test sees what the window asked.
#pragma once

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVector>

#include "app/dialogs.h"

namespace vorthal::testing {

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
};

class ScriptedDialogs : public Dialogs {
  public:
    void ShowMessage(const QString& title, const QString& text, MessageIcon icon) override {
        callThreads.append(QThread::currentThread());
        messages.append({title, text, icon});
    }
    bool Ask(const QString& title, const QString& question) override {
        callThreads.append(QThread::currentThread());
        questions.append(title + ": " + question);
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString GetOpenFileName(const QString& title, const QString&) override { return NextPath(title); }
    QString GetSaveFileName(const QString& title, const QString&) override { return NextPath(title); }
    QString GetExistingDirectory(const QString& title) override { return NextPath(title); }

    QVector<ShownMessage> messages;
    QStringList questions;
    QStringList fileDialogTitles;
    QQueue<bool> answers;
    QQueue<QString> paths;
    QVector<QThread*> callThreads; // the thread each message or question was shown on

  private:
    QString NextPath(const QString& title) {
        fileDialogTitles.append(title);
        return paths.isEmpty() ? QString() : paths.dequeue();
    }
};

} // namespace vorthal::testing
