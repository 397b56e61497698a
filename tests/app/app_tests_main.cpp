// Runs every test class of the window; the exit status is the number of failed tests.
#include <QApplication>

#include "app/application.h"
#include "tests/app/app_test_suites.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    vorthal::SetUpApplication(application); // as the program does: title and caption font
    int failures = 0;
    failures += vorthal::testing::RunMainWindowTests(argc, argv);
    failures += vorthal::testing::RunWindowObserverTests(argc, argv);
    failures += vorthal::testing::RunScanRunTests(argc, argv);
    failures += vorthal::testing::RunDataSourceMenuTests(argc, argv);
    failures += vorthal::testing::RunFragmentListTests(argc, argv);
    return failures;
}
