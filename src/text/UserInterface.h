// What a step may ask of the person at the front end: to read a message, to answer a yes/no
// question, to see how far a long step has come. The command line, the desktop window and the
// tests each provide their own.
#pragma once

#include <string>

namespace quirebook {

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    virtual void ShowMessage(const std::string& message) = 0;
    // True only for "Yes".
    virtual bool AskYesNo(const std::string& question) = 0;
    // The status line of a long step and how far it has come, 0 to 100.
    virtual void ShowProgress(const std::string& status, int percent) = 0;
    // Moves the input focus to the named control (after a refusal, to the field at fault). A
    // front end without controls ignores it.
    virtual void Focus(const std::string& /*control*/) {}
};

}  // namespace quirebook
