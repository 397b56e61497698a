// The two shapes of log lines: progress lines (a phrase directly followed by the local date and
// time) and failure lines (a tag, a failure code, "sec" and a sector number, without blanks).
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "base/page_geometry.h"

namespace vorthal {

// "phrase" + "2026/12/11 9:05:07": short date, a blank, long time, in local time.
std::string ProgressLine(std::string_view phrase);
std::string ProgressLine(std::string_view phrase, std::chrono::system_clock::time_point when);

// For example FailureLine("512error", 2048) is "512error1sec2048".
std::string FailureLine(std::string_view tag, SectorNumber sector, int failureCode = 1);

} // namespace vorthal
