// How the core reaches the operator. The core never shows anything itself: where a run writes a
// log line, moves the gauge, shows a message or asks a question, it calls this interface. The
// window carries each call out on the interface thread while the run waits; the command-line
// tool prints or answers from its options; tests record and answer from a script.
#pragma once

#include <string>

namespace vorthal {

// The three logs of the workflow: scan (tab I), analysis (tab III), second search/check/build (tab IV).
enum class LogPane { Scan, Analysis, Assembly };

enum class MessageIcon { Information, Warning, Error };

inline constexpr const char* kDefaultMessageTitle = "提示";

class Observer {
public:
    virtual ~Observer() = default;

    virtual void AppendLog(LogPane pane, const std::string& line) = 0;
    virtual void ClearLog(LogPane pane) = 0;
    // Percent from 0 to 100; the gauge keeps its last value after a run.
    virtual void SetGauge(int percent) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // A modal message with an OK button; returns when the operator has closed it.
    virtual void ShowMessage(const std::string& title, const std::string& text,
                             MessageIcon icon = MessageIcon::Information) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& title, const std::string& question) = 0;
};

} // namespace vorthal
