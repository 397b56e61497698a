#include "base/log_lines.h"

#include <ctime>
#include <cstdio>

namespace vorthal {

std::string ProgressLine(std::string_view phrase) {
    return ProgressLine(phrase, std::chrono::system_clock::now());
}

std::string ProgressLine(std::string_view phrase, std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    std::string line(phrase);
    line += std::to_string(local.tm_year + 1900) + "/" + std::to_string(local.tm_mon + 1) + "/" +
            std::to_string(local.tm_mday) + " " + std::to_string(local.tm_hour) + ":";
    char minutesSeconds[8];
    std::snprintf(minutesSeconds, sizeof minutesSeconds, "%02d:%02d", local.tm_min, local.tm_sec);
    return line + minutesSeconds;
}

std::string FailureLine(std::string_view tag, SectorNumber sector, int failureCode) {
    return std::string(tag) + std::to_string(failureCode) + "sec" + std::to_string(sector);
}

} // namespace vorthal
