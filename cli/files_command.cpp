// vorthal-cli files: the database files found in a saved scan, as the third tab lists them.
#include "cli/commands.h"
#include "cli/database_file_listing.h"
#include "cli/session_source.h"

namespace vorthal::cli {

int RunFiles(const Arguments& arguments) {
    const ParsedOptions options = ParseOptions(arguments, {{}, {"--content", "--source", "--kind"}, 1});
    const std::unique_ptr<Session> session = NewSession();
    OpenSavedScan(*session, options.positionals()[0], options.Value("--content"), options.Value("--source"),
                  KindIsPartition(options));
    PrintDatabaseFiles(*session);
    return 0;
}

} // namespace vorthal::cli
