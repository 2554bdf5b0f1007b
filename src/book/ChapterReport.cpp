#include "book/ChapterReport.h"

#include <utility>

namespace quirebook {

void ChapterReport::AddLog(std::string_view text) {
    log_ += text;
    log_ += "\r\n";
}

void ChapterReport::ShowMessage(std::string text) {
    messages_.push_back(std::move(text));
}

void ChapterReport::HandOver(BookProject& project, UserInterface& ui) {
    project.BuildLog += log_;
    for (const std::string& message : messages_) ui.ShowMessage(message);
    log_.clear();
    messages_.clear();
}

}  // namespace quirebook
