// The book-language dialog: which language names the book-language drop-down offers, and in
// what order, chosen from every name the program knows and kept in the user's list file.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

class LanguageList : public QDialog {
    Q_OBJECT
  public:
    // The lists come from `project`'s language files; "Already added" and write failures are
    // said to `person`.
    LanguageList(const BookProject& project, UserInterface& person, QWidget* parent = nullptr);

    // What showing the dialog does: "Available Languages" from all.lang, "Listed Languages" from
    // the user's list, else the common list, and the changed mark cleared.
    void Fill();
    // The listed languages, in their order.
    QStringList Listed() const;
    // "OK" or "Default" was pressed since the dialog was last filled: the drop-down is to take
    // the listed languages.
    bool Changed() const { return m_changed; }

    QListWidget* AvailableList;
    QListWidget* ListedList;
    QPushButton* AddButton;
    QPushButton* RemoveButton;
    QPushButton* DefaultButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

  private:
    void AddSelected();
    void AddOne(QListWidgetItem* item);
    void RemoveSelected();
    void UseDefault();
    void WriteUserList();
    bool IsListed(const QString& name) const;

    const BookProject& m_project;
    UserInterface& m_person;
    bool m_changed = false;
};

}  // namespace quirebook
