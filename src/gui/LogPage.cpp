// Lays out the "Log" page; "Clear" empties the memo.
#include "gui/LogPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quirebook {

namespace {

QString Lines(const std::string& text) {
    QString lines = QString::fromStdString(text);
    lines.replace("\r\n", "\n");
    lines.replace('\r', '\n');
    return lines;
}

}  // namespace

LogPage::LogPage(QWidget* parent)
    : QWidget(parent),
      Memo(new QPlainTextEdit),
      SaveButton(new QPushButton("Save")),
      ClearButton(new QPushButton("Clear")) {
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SaveButton);
    buttons->addWidget(ClearButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo, 1);
    layout->addLayout(buttons);
    connect(ClearButton, &QPushButton::clicked, Memo, &QPlainTextEdit::clear);
}

void LogPage::ShowLog(const std::string& log) {
    Memo->setPlainText(Lines(log));
}

void LogPage::Append(const std::string& text) {
    QString lines = Lines(text);
    if (lines.endsWith('\n')) lines.chop(1);
    Memo->appendPlainText(lines);
}

}  // namespace quirebook
