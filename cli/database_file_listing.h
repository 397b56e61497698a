// The database files found in a session's FragmentList, printed as the third tab lists them.
#pragma once

#include "workflow/session.h"

namespace vorthal::cli {

void PrintDatabaseFiles(Session& session);

} // namespace vorthal::cli
