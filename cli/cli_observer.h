// The observer of vorthal-cli: messages and log lines go to standard error, the question about
// an image file is answered from the command line.
#pragma once

#include <string>
#include <vector>

#include "base/observer.h"

namespace vorthal::cli {

class CliObserver final : public Observer {
  public:
    // partitionAnswer answers the question whether an image holds a partition.
    explicit CliObserver(bool partitionAnswer = false) : partitionAnswer_(partitionAnswer) {}
    void SetPartitionAnswer(bool answer) { partitionAnswer_ = answer; }

    void AppendLog(LogPane pane, const std::string& line) override;
    void ClearLog(LogPane) override {}
    void SetGauge(int) override {}
    void SetStatus(const std::string&) override {}
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string&, const std::string&) override { return partitionAnswer_; }

    // The last message shown, for the one line that explains a failure.
    const std::string& LastMessage() const { return lastMessage_; }

  private:
    bool partitionAnswer_;
    std::string lastMessage_;
};

} // namespace vorthal::cli
