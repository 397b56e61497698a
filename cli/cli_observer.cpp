#include "cli/cli_observer.h"

#include <iostream>

namespace vorthal::cli {

void CliObserver::AppendLog(LogPane, const std::string& line) {
    std::cerr << line << '\n';
}

void CliObserver::ShowMessage(const std::string& title, const std::string& text, MessageIcon) {
    std::cerr << title << ": " << text << '\n';
    lastMessage_ = text;
}

} // namespace vorthal::cli
