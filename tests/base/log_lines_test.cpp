#include "base/log_lines.h"

#include <ctime>

#include <gtest/gtest.h>

namespace vorthal {
namespace {

TEST(LogLines, FailureLineJoinsTagCodeAndSectorWithoutBlanks) {
    EXPECT_EQ(FailureLine("512error", 2048), "512error1sec2048");
    EXPECT_EQ(FailureLine("8192errorhead", 5'000'000'000LL), "8192errorhead1sec5000000000");
}

TEST(LogLines, ProgressLinePutsLocalDateAndTimeDirectlyAfterThePhrase) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 5;
    local.tm_hour = 9;
    local.tm_min = 4;
    local.tm_sec = 3;
    local.tm_isdst = -1;
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&local));
    EXPECT_EQ(ProgressLine("开始扫描", when), "开始扫描2026/1/5 9:04:03");
}

} // namespace
} // namespace vorthal
