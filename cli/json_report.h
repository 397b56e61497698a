// The JSON report of vorthal-cli recover: one object per database file.
#pragma once

#include <string>
#include <vector>

#include "workflow/recover.h"

namespace vorthal::cli {

// Throws CommandFailure when the report cannot be written completely.
void WriteJsonReport(const std::string& path, const std::vector<FileRecovery>& files);

// `text` as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

} // namespace vorthal::cli
