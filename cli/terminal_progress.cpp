#include "cli/terminal_progress.h"

#include <unistd.h>

#include <iostream>

namespace vorthal::cli {

TerminalProgress::TerminalProgress(std::string what) : what_(std::move(what)), enabled_(isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() { Clear(); }

void TerminalProgress::Show(int percent) {
    if (!enabled_) return;
    std::cerr << '\r' << what_ << ' ' << percent << "%\x1b[K" << std::flush;
    shown_ = true;
}

void TerminalProgress::Clear() {
    if (!shown_) return;
    std::cerr << "\r\x1b[K" << std::flush;
    shown_ = false;
}

} // namespace vorthal::cli
