// vorthal: the desktop program.
#include <QApplication>

#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "disk/linux_devices.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    vorthal::SetUpApplication(application);
    vorthal::QtDialogs dialogs;
    vorthal::TForm1 form(dialogs, std::make_unique<vorthal::LinuxDevicePlatform>());
    dialogs.SetOwner(&form);
    form.show();
    return QApplication::exec();
}
