// The command line's user interface: messages on standard error, progress on one updated line
// when standard error is a terminal, and no questions (a command line runs unattended).
#pragma once

#include <string>

#include "text/UserInterface.h"

namespace quirebook {

class ConsoleInterface : public UserInterface {
  public:
    explicit ConsoleInterface(bool quiet);
    ~ConsoleInterface() override;

    void ShowMessage(const std::string& message) override;
    // Answers No: nothing is ever replaced or overwritten on a question without a person there.
    bool AskYesNo(const std::string& question) override;
    void ShowProgress(const std::string& status, int percent) override;

  private:
    void EndProgressLine();

    bool m_quiet;
    bool m_terminal;
    bool m_progressShown = false;
};

}  // namespace quirebook
