// The person at the window: messages and Yes/No questions in modal message boxes.
#pragma once

#include <QWidget>

#include "text/UserInterface.h"

namespace quirebook {

class DialogInterface : public UserInterface {
  public:
    void ShowMessage(const std::string& message) override;
    bool AskYesNo(const std::string& question) override;
    // The window shows progress itself.
    void ShowProgress(const std::string& /*status*/, int /*percent*/) override {}
    void SetParent(QWidget* parent) { m_parent = parent; }

  private:
    QWidget* m_parent = nullptr;
};

}  // namespace quirebook
