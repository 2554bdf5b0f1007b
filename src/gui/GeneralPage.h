// The "General" page: the book's name, author and optional metadata, and where it is saved.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "gui/LinkLabel.h"

namespace quirebook {

class GeneralPage : public QWidget {
    Q_OBJECT
  public:
    explicit GeneralPage(QWidget* parent = nullptr);

    QLineEdit* TitleBox;
    QLineEdit* AuthorBox;
    QLabel* SaveLabel;
    LinkLabel* FolderLabel;
    LinkLabel* NameLabel;
    QPushButton* ChangeButton;
    QLineEdit* SubjectBox;
    QLineEdit* PublisherBox;
    QLineEdit* IdBox;
    QComboBox* LanguageList;
    QPushButton* MoreLanguagesButton;
    QPlainTextEdit* DescriptionBox;
};

}  // namespace quirebook
