// Test support: a user interface that records what it was told and answers questions from a
// preset list.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "text/UserInterface.h"

namespace quirebook::testing {

class RecordingUserInterface : public UserInterface {
  public:
    std::vector<std::string> Messages;
    std::vector<std::string> Questions;
    std::vector<std::pair<std::string, int>> Progress;
    std::vector<std::string> Focused;
    std::deque<bool> Answers;  // answers to the next questions; "No" once they run out

    void ShowMessage(const std::string& message) override { Messages.push_back(message); }
    bool AskYesNo(const std::string& question) override {
        Questions.push_back(question);
        if (Answers.empty()) return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowProgress(const std::string& status, int percent) override {
        Progress.emplace_back(status, percent);
    }
    void Focus(const std::string& control) override { Focused.push_back(control); }
};

}  // namespace quirebook::testing
