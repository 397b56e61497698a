// vorthal-screenshots FOLDER [IMAGE]: shows the main window, saves a picture of each of its four tabs
// (tab1.png ... tab4.png, tab1-steps.png with the recovery steps shown) and of the About window into FOLDER,
// and ends. With IMAGE, the window first scans that disk image as the operator would (image file, whole
// disk, SCAN) and ticks two fragments, so that the pictures show a log and a fragment list. It builds the
// same window as the program, so the pictures show what operators see; the program itself keeps no hidden
// options.
#include <QApplication>

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <memory>

#include <cstdio>
#include <utility>

#include "app/about_window.h"
#include "app/application.h"
#include "app/link_label.h"
#include "app/main_window.h"
#include "disk/linux_devices.h"

namespace {

// Answers the window's dialogs without a person: the image to open, "whole disk" to the question.
class ScreenshotDialogs final : public vorthal::Dialogs {
  public:
    explicit ScreenshotDialogs(QString image) : image_(std::move(image)) {}
    void ShowMessage(const QString& title, const QString& text, vorthal::MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool Ask(const QString&, const QString&) override { return false; }
    QString GetOpenFileName(const QString&, const QString&) override { return image_; }
    QString GetSaveFileName(const QString&, const QString&) override { return {}; }
    QString GetExistingDirectory(const QString&) override { return {}; }

  private:
    QString image_;
};

// Chooses the image, scans it and waits for the scan to end; ticks the first and third rows.
void ScanImage(vorthal::TForm1& form) {
    form.findChild<QAction*>("N7")->trigger();
    QEventLoop loop;
    QObject::connect(&form, &vorthal::TForm1::RunsFinished, &loop, &QEventLoop::quit);
    form.findChild<QPushButton*>("btnscan")->click();
    if (form.RunActive())
        loop.exec();
    QAbstractItemModel* rows = form.findChild<QTreeView*>("ListView2")->model();
    for (int row = 0; row < rows->rowCount() && row < 3; row += 2)
        rows->setData(rows->index(row, 0), Qt::Checked, Qt::CheckStateRole);
}

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
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: vorthal-screenshots FOLDER [IMAGE]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    vorthal::SetUpApplication(application);
    ScreenshotDialogs dialogs(argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString());
    vorthal::TForm1 form(dialogs, std::make_unique<vorthal::LinuxDevicePlatform>());
    form.show();
    if (argc == 3)
        ScanImage(form);

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
