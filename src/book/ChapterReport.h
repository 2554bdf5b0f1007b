// What the work on one chapter has to tell (log lines, messages), kept while chapters are
// worked on side by side and handed over in the chapters' order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

class ChapterReport {
  public:
    // A line for BuildLog, as BookProject::AddLog writes it.
    void AddLog(std::string_view text);
    // A message for the user.
    void ShowMessage(std::string text);
    // The log lines, each ending in CR LF.
    const std::string& Log() const { return log_; }

    // Appends the lines to the project's BuildLog and shows the messages, in the order they
    // came; the report is empty afterwards.
    void HandOver(BookProject& project, UserInterface& ui);

  private:
    std::string log_;
    std::vector<std::string> messages_;
};

}  // namespace quirebook
