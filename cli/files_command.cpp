// vorthal-cli files: the database files found in a saved scan, as the third tab lists them.
#include <iostream>

#include "analysis/database_catalogue.h"
#include "cli/cli_observer.h"
#include "cli/commands.h"
#include "cli/session_source.h"

namespace vorthal::cli {

int RunFiles(const Arguments& arguments) {
    const ParsedOptions options = ParseOptions(arguments, {{}, {"--content", "--source", "--kind"}, 1});
    const std::unique_ptr<Session> session = NewSession();
    OpenSavedScan(*session, options.positionals()[0], options.Value("--content"), options.Value("--source"),
                  KindIsPartition(options));
    CliObserver observer;
    const std::vector<DatabaseFileRow> rows =
        ListDatabaseFiles(session->fragments, session->ContentFileMode(), *session, observer);
    std::cout << "row\tname\tsize(KB)\tstart sector\n";
    for (const DatabaseFileRow& row : rows) {
        std::cout << row.caption << '\t' << row.name << '\t' << row.sizeKb << '\t' << row.startSector << '\n';
    }
    std::cout << rows.size() << " database file(s)\n";
    return 0;
}

} // namespace vorthal::cli
