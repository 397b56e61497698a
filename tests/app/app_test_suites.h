// The Qt test classes of the window, each run by app_tests_main.cpp in one process.
#pragma once

namespace vorthal::testing {

int RunMainWindowTests(int argc, char* argv[]);
int RunWindowObserverTests(int argc, char* argv[]);
int RunScanRunTests(int argc, char* argv[]);
int RunDataSourceMenuTests(int argc, char* argv[]);
int RunFragmentListTests(int argc, char* argv[]);

} // namespace vorthal::testing
