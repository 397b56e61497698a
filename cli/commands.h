// The commands of vorthal-cli. Each takes the arguments after its name and returns the exit
// status; it throws UsageError or CommandFailure for the two kinds of failure.
#pragma once

#include <string>
#include <vector>

namespace vorthal::cli {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    int (*run)(const Arguments& arguments);
};

int RunInfo(const Arguments& arguments);
int RunScan(const Arguments& arguments);
int RunFiles(const Arguments& arguments);
int RunRecover(const Arguments& arguments);

} // namespace vorthal::cli
