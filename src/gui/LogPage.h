// The "Log" page: what the last import or publish reported and the validator's results.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace quirebook {

class LogPage : public QWidget {
    Q_OBJECT
  public:
    explicit LogPage(QWidget* parent = nullptr);

    // Replaces the memo's text by the log (CR LF line ends).
    void ShowLog(const std::string& log);
    // Adds the text (CR LF line ends) after what the memo holds.
    void Append(const std::string& text);
    // The memo's text, one line a line.
    QString Text() const { return Memo->toPlainText(); }

    QPlainTextEdit* Memo;
    QPushButton* SaveButton;
    QPushButton* ClearButton;
};

}  // namespace quirebook
