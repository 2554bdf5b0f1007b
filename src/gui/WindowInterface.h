// The user interface the import and publish steps talk to while the window runs them, on the
// window's thread or on a worker: messages, questions and focus go to the window's thread and
// wait for it; progress moves the window's status line and gauge.
#pragma once

#include <QObject>
#include <functional>

#include "text/UserInterface.h"

namespace quirebook {

class WindowInterface : public UserInterface {
  public:
    using ProgressShown = std::function<void(const QString& status, int percent)>;
    using FocusMoved = std::function<void(const std::string& control)>;

    // `person` answers messages and questions; `window` is the object whose thread they run on.
    WindowInterface(UserInterface& person, QObject& window, ProgressShown progress,
                    FocusMoved focus);

    void ShowMessage(const std::string& message) override;
    bool AskYesNo(const std::string& question) override;
    void ShowProgress(const std::string& status, int percent) override;
    void Focus(const std::string& control) override;

    // The new-project question was answered Yes before the file dialog: the step that asks it
    // again is given that answer without a second question.
    void AnswerNewProjectQuestion(bool answered) { m_newProjectAnswered = answered; }

  private:
    // Runs `call` on the window's thread and waits for it.
    void OnWindowThread(const std::function<void()>& call);

    UserInterface& m_person;
    QObject& m_window;
    ProgressShown m_progress;
    FocusMoved m_focus;
    bool m_newProjectAnswered = false;
};

}  // namespace quirebook
