// The main window over a machine of the tests' making, with scripted dialogs, and the steps the
// operator takes most: finding a control, choosing an image file through the data-source menu.
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "app/main_window.h"
#include "tests/app/scripted_dialogs.h"
#include "tests/app/test_device_platform.h"

namespace vorthal::testing {

class WindowHarness {
  public:
    // Creates the window; `platform` is set up before the window reads its drives and volumes.
    template <typename SetUp> void Open(SetUp setUp) {
        dialogs = ScriptedDialogs();
        auto made = std::make_unique<TestDevicePlatform>();
        platform = made.get();
        setUp(*platform);
        form = std::make_unique<TForm1>(dialogs, std::move(made));
        form->show();
    }
    void Open() {
        Open([](TestDevicePlatform&) {});
    }
    void Close() { form.reset(); }

    template <typename Widget = QWidget> Widget* Find(const char* name) {
        auto* found = form->findChild<Widget*>(name);
        if (found == nullptr)
            qFatal("no child named %s", name);
        return found;
    }

    // "打开镜像文件" of the data-source menu, answering the open dialog with `path` and the
    // question whether it is a partition image.
    void ChooseImage(const QString& path, bool partition) {
        dialogs.paths.enqueue(path);
        dialogs.answers.enqueue(partition);
        Find<QAction>("N7")->trigger();
    }

    ScriptedDialogs dialogs;
    TestDevicePlatform* platform = nullptr; // owned by the window's session
    std::unique_ptr<TForm1> form;
};

} // namespace vorthal::testing
