// Hands what a step says or asks to the window's thread.
#include "gui/WindowInterface.h"

#include <QMetaObject>
#include <QThread>

namespace quirebook {

namespace {
constexpr const char* kNewProjectQuestion =
    "Are you sure to quit this project and begin a new book project?";
}

WindowInterface::WindowInterface(UserInterface& person, QObject& window, ProgressShown progress,
                                 FocusMoved focus)
    : m_person(person),
      m_window(window),
      m_progress(std::move(progress)),
      m_focus(std::move(focus)) {}

void WindowInterface::OnWindowThread(const std::function<void()>& call) {
    if (QThread::currentThread() == m_window.thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(&m_window, call, Qt::BlockingQueuedConnection);
    }
}

void WindowInterface::ShowMessage(const std::string& message) {
    OnWindowThread([&] { m_person.ShowMessage(message); });
}

bool WindowInterface::AskYesNo(const std::string& question) {
    if (m_newProjectAnswered && question == kNewProjectQuestion) return true;
    bool answer = false;
    OnWindowThread([&] { answer = m_person.AskYesNo(question); });
    return answer;
}

void WindowInterface::ShowProgress(const std::string& status, int percent) {
    const QString text = QString::fromStdString(status);
    if (QThread::currentThread() == m_window.thread()) return m_progress(text, percent);
    QMetaObject::invokeMethod(
        &m_window, [this, text, percent] { m_progress(text, percent); }, Qt::QueuedConnection);
}

void WindowInterface::Focus(const std::string& control) {
    OnWindowThread([&] {
        m_focus(control);
        m_person.Focus(control);
    });
}

}  // namespace quirebook
