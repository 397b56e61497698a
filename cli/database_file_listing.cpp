#include "cli/database_file_listing.h"

#include <iostream>

#include "analysis/database_catalogue.h"
#include "cli/cli_observer.h"

namespace vorthal::cli {

void PrintDatabaseFiles(Session& session) {
    CliObserver observer;
    const std::vector<DatabaseFileRow> rows =
        ListDatabaseFiles(session.fragments, session.ContentFileMode(), session, observer);
    std::cout << "row\tname\tsize(KB)\tstart sector\n";
    for (const DatabaseFileRow& row : rows)
        std::cout << row.caption << '\t' << row.name << '\t' << row.sizeKb << '\t' << row.startSector << '\n';
    std::cout << rows.size() << " database file(s)\n";
}

} // namespace vorthal::cli
