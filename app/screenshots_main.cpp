// vorthal-screenshots FOLDER: shows the main window, saves a picture of each of its four tabs
// (tab1.png ... tab4.png, tab1-steps.png with the recovery steps shown) and of the About window into FOLDER,
// and ends. It builds the same window as the program, so the pictures show what operators see; the program
// itself keeps no hidden options.
#include <QApplication>

#include <QDir>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <memory>

#include <cstdio>

#include "app/about_window.h"
#include "app/application.h"
#include "app/link_label.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "disk/linux_devices.h"

namespace {

bool Save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorthal-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    vorthal::SetUpApplication(application);
    vorthal::QtDialogs dialogs;
    vorthal::TForm1 form(dialogs, std::make_unique<vorthal::LinuxDevicePlatform>());
    form.show();

    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    bool saved = true;
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        saved = Save(form, folder.filePath(QString("tab%1.png").arg(index + 1))) && saved;
    }
    tabs->setCurrentIndex(0);
    auto* instructions = form.findChild<vorthal::LinkLabel*>("Label7");
    emit instructions->clicked(); // the recovery steps in place of the picture
    saved = Save(form, folder.filePath("tab1-steps.png")) && saved;
    emit instructions->clicked();

    form.findChild<QPushButton*>("Button7")->click();
    auto* about = form.findChild<vorthal::AboutWindow*>("AboutWindow");
    saved = about != nullptr && Save(*about, folder.filePath("about.png")) && saved;
    return saved ? 0 : 1;
}
