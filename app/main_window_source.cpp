// TForm1: the data-source menu pm1 and the choice of a physical drive, a volume or an image file.
// The choice itself is the core's source selection; the window shows what it decided.
#include "app/main_window.h"
#include "disk/source_selection.h"

namespace vorthal {
namespace {

// The image filter in Qt's form: the caption as the operator knows it, then the patterns.
const char* const kImageFileFilter = "镜像文件(*.hdd;*.img;*.dsr;*.bin) (*.hdd *.img *.dsr *.bin);;"
                                     "所有文件(*.*) (*)";

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

void TForm1::BuildSourceMenuEntries() {
    connect(tabI_.N7, &QAction::triggered, this, &TForm1::N7Click);
    for (std::size_t item = 0; item < sourceMenu_.driveItemTexts.size(); ++item) {
        QAction* entry = tabI_.pm1->addAction(Text(sourceMenu_.driveItemTexts[item].caption));
        entry->setObjectName(QString("pm1Drive%1").arg(item));
        connect(entry, &QAction::triggered, this, [this, item] { ChooseDriveItem(item); });
    }
    tabI_.pm1->addSeparator();
    for (std::size_t item = 0; item < sourceMenu_.volumeItemTexts.size(); ++item) {
        QAction* entry = tabI_.pm1->addAction(Text(sourceMenu_.volumeItemTexts[item].Caption()));
        entry->setObjectName(QString("pm1Volume%1").arg(item));
        connect(entry, &QAction::triggered, this, [this, item] { ChooseVolumeItem(item); });
    }
}

// A choice during a run would change the source under the worker.
void TForm1::ShowSourceMenu(QPoint at) {
    if (RefuseWhileRunActive())
        return;
    tabI_.pm1->popup(tabI_.edtDataStr->mapToGlobal(at));
}

void TForm1::N7Click() {
    if (RefuseWhileRunActive())
        return;
    const QString path = dialogs_.GetOpenFileName(tabI_.N7->text(), kImageFileFilter);
    if (path.isEmpty())
        return;
    SourceSelection selection = session_->Selection(observer_);
    ChooseImageFile(selection, *session_->deviceOpener, path.toStdString());
    ShowSourceControls();
}

void TForm1::ChooseDriveItem(std::size_t item) {
    if (RefuseWhileRunActive())
        return;
    SourceSelection selection = session_->Selection(observer_);
    ChoosePhysicalDrive(selection, platform_, sourceMenu_.driveItemTexts[item]);
    ShowSourceControls();
}

void TForm1::ChooseVolumeItem(std::size_t item) {
    if (RefuseWhileRunActive())
        return;
    SourceSelection selection = session_->Selection(observer_);
    ChooseVolume(selection, platform_, sourceMenu_.volumeItemTexts[item]);
    ShowSourceControls();
}

// Also after a choice that ended with a message: the fields show what it left.
void TForm1::ShowSourceControls() {
    const SourceControls& controls = session_->sourceControls;
    tabI_.edtDataStr->setText(Text(controls.edtDataStr));
    tabI_.edtbegin->setText(Text(controls.edtbegin));
    tabI_.edtend->setText(Text(controls.edtend));
    tabI_.edtsecs->setText(Text(controls.edtsecs));
    tabI_.label5->setText(Text(controls.label5));
    tabI_.chkfreespace->setChecked(controls.chkfreespaceChecked);
    tabI_.chkfreespace->setEnabled(controls.chkfreespaceEnabled);
}

} // namespace vorthal
