// Progress of long work on standard error, one line rewritten in place, shown only when
// standard error is a terminal so that scripts and logs get no control characters.
#pragma once

#include <string>

namespace vorthal::cli {

class TerminalProgress {
public:
    explicit TerminalProgress(std::string what);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show(int percent);
    // Clears the progress line, so that a log line or message starts on an empty line.
    void Clear();

private:
    std::string what_;
    bool enabled_;
    bool shown_ = false;
};

} // namespace vorthal::cli
