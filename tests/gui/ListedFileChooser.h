// Test support: file choices answered from a list, each request recorded.
#pragma once

#include <QList>
#include <QStringList>
#include <deque>

#include "gui/FileChooser.h"

namespace quirebook::testing {

class ListedFileChooser : public FileChooser {
  public:
    QList<FileRequest> Requests;
    std::deque<QStringList> Answers;  // the next choices; cancelled once they run out

    QStringList Choose(const FileRequest& request) override {
        Requests << request;
        if (Answers.empty()) return {};
        QStringList answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

}  // namespace quirebook::testing
