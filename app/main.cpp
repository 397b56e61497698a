// vorthal: the desktop program.
#include <QApplication>

#include "app/application.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    vorthal::SetUpApplication(application);
    vorthal::QtDialogs dialogs;
    vorthal::TForm1 form(dialogs);
    dialogs.SetOwner(&form);
    form.show();
    return QApplication::exec();
}
