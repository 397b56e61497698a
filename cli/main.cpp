// vorthal-cli: the recovery workflow without a window, for servers and scripts.
#include <iostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/options.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: vorthal-cli COMMAND [OPTIONS]

Rebuilds lost SQL Server primary data files (.mdf) from a disk, a partition or an image.

Commands:
  info SOURCE [--kind partition|disk] [--free-space]
        the data source as source selection sees it
  scan SOURCE -o SCANINFO [--content CONTENTFILE] [--kind partition|disk] [--all-space]
        [--begin N] [--end N] [--step N] [--file-id N] [--max-begin-page N]
        scan the source for database pages and save the fragments found
  files SCANINFO [--content CONTENTFILE | --source SOURCE [--kind partition|disk]]
        list the database files found in a saved scan
  recover (SOURCE [scan options] | --scan-info F (--content F | --source S))
        -o OUTDIR [--file N] [--report report.json]
        analyse, complete, check and rebuild every database file found (or row N)

Options:
  --help       show this text
  --version    show the version

Exit status: 0 on success, 1 on failure, 2 on a usage error.
)";

constexpr vorthal::cli::Command kCommands[] = {
    {"info", vorthal::cli::RunInfo},
    {"scan", vorthal::cli::RunScan},
    {"files", vorthal::cli::RunFiles},
    {"recover", vorthal::cli::RunRecover},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (name == "--version") {
        std::cout << "vorthal-cli " << VORTHAL_VERSION << '\n';
        return 0;
    }
    for (const auto& command : kCommands) {
        if (name != command.name) continue;
        try {
            return command.run(vorthal::cli::Arguments(argv + 2, argv + argc));
        } catch (const vorthal::cli::UsageError& error) {
            std::cerr << "vorthal-cli " << name << ": " << error.what() << " (see vorthal-cli --help)\n";
            return 2;
        } catch (const std::exception& error) {
            std::cerr << "vorthal-cli " << name << ": " << error.what() << '\n';
            return 1;
        }
    }
    std::cerr << "vorthal-cli: unknown command '" << name << "' (see vorthal-cli --help)\n";
    return 2;
}
