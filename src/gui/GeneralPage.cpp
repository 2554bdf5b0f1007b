// Lays out the "General" page.
#include "gui/GeneralPage.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quirebook {

GeneralPage::GeneralPage(QWidget* parent)
    : QWidget(parent),
      TitleBox(new QLineEdit),
      AuthorBox(new QLineEdit),
      SaveLabel(new QLabel("Your ePub book will be saved")),
      FolderLabel(new LinkLabel),
      NameLabel(new LinkLabel),
      ChangeButton(new QPushButton("Change")),
      SubjectBox(new QLineEdit),
      PublisherBox(new QLineEdit),
      IdBox(new QLineEdit),
      LanguageList(new QComboBox),
      MoreLanguagesButton(new QPushButton("More...")),
      DescriptionBox(new QPlainTextEdit) {
    TitleBox->setObjectName("inTitle");
    AuthorBox->setObjectName("inAuthor");
    ChangeButton->setObjectName("btnChange");
    LanguageList->setObjectName("selLang");
    FolderLabel->setWordWrap(true);
    NameLabel->setWordWrap(true);

    auto* book = new QFormLayout;
    book->addRow("Book Name", TitleBox);
    book->addRow("Author", AuthorBox);

    auto* saved = new QGroupBox;
    auto* savedLayout = new QFormLayout(saved);
    savedLayout->addRow(SaveLabel);
    savedLayout->addRow("in", FolderLabel);
    savedLayout->addRow("as", NameLabel);
    auto* change = new QHBoxLayout;
    change->addStretch();
    change->addWidget(ChangeButton);
    savedLayout->addRow(change);

    auto* optional = new QGroupBox("Optional Items:");
    auto* optionalLayout = new QFormLayout(optional);
    optionalLayout->addRow("Subject", SubjectBox);
    optionalLayout->addRow("Publisher", PublisherBox);
    optionalLayout->addRow("ID", IdBox);
    auto* language = new QHBoxLayout;
    language->addWidget(LanguageList, 1);
    language->addWidget(MoreLanguagesButton);
    optionalLayout->addRow("Language", language);
    optionalLayout->addRow("Description", DescriptionBox);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(book);
    layout->addWidget(saved);
    layout->addWidget(optional, 1);
}

}  // namespace quirebook
