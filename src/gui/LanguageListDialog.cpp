// Lays out the book-language dialog and moves names between its two lists.
#include "gui/LanguageListDialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <exception>

#include "app/BookLanguages.h"

namespace quirebook {

namespace {

void ShowNames(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const std::string& name : names) list->addItem(QString::fromStdString(name));
}

}  // namespace

LanguageList::LanguageList(const BookProject& project, UserInterface& person, QWidget* parent)
    : QDialog(parent),
      AvailableList(new QListWidget),
      ListedList(new QListWidget),
      AddButton(new QPushButton("Add ->")),
      RemoveButton(new QPushButton("<- Remove")),
      DefaultButton(new QPushButton("Default")),
      OkButton(new QPushButton("OK")),
      CancelButton(new QPushButton("Cancel")),
      m_project(project),
      m_person(person) {
    setWindowTitle("Languages");
    AvailableList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListedList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Entries are dragged to a new place within the listed languages; drops from elsewhere are
    // refused.
    ListedList->setDragDropMode(QAbstractItemView::InternalMove);
    ListedList->setDefaultDropAction(Qt::MoveAction);
    OkButton->setDefault(true);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(AddButton);
    middle->addWidget(RemoveButton);
    middle->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(DefaultButton);
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Available Languages"), 0, 0);
    layout->addWidget(new QLabel("Listed Languages"), 0, 2);
    layout->addWidget(AvailableList, 1, 0);
    layout->addLayout(middle, 1, 1);
    layout->addWidget(ListedList, 1, 2);
    layout->addWidget(new QLabel("Drag to position"), 2, 2);
    layout->addLayout(buttons, 3, 0, 1, 3);

    connect(AddButton, &QPushButton::clicked, this, &LanguageList::AddSelected);
    connect(AvailableList, &QListWidget::itemDoubleClicked, this, &LanguageList::AddOne);
    connect(RemoveButton, &QPushButton::clicked, this, &LanguageList::RemoveSelected);
    connect(DefaultButton, &QPushButton::clicked, this, &LanguageList::UseDefault);
    connect(OkButton, &QPushButton::clicked, this, &LanguageList::WriteUserList);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(460, 360);
}

void LanguageList::Fill() {
    ShowNames(AvailableList, ReadLanguageList(m_project.AppFolder + "/lang/all.lang"));
    std::vector<std::string> listed = ReadLanguageList(m_project.UserLanguageList());
    if (listed.empty()) listed = ReadLanguageList(m_project.CommonLanguageList());
    ShowNames(ListedList, listed);
    m_changed = false;
}

QStringList LanguageList::Listed() const {
    QStringList names;
    for (int row = 0; row < ListedList->count(); ++row) names << ListedList->item(row)->text();
    return names;
}

bool LanguageList::IsListed(const QString& name) const {
    return !ListedList->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
}

void LanguageList::AddSelected() {
    // In the order of the available list, whatever order the names were selected in.
    for (int row = 0; row < AvailableList->count(); ++row) {
        const QListWidgetItem* item = AvailableList->item(row);
        if (item->isSelected() && !IsListed(item->text())) ListedList->addItem(item->text());
    }
}

void LanguageList::AddOne(QListWidgetItem* item) {
    if (IsListed(item->text())) return m_person.ShowMessage("Already added");
    ListedList->addItem(item->text());
}

void LanguageList::RemoveSelected() {
    qDeleteAll(ListedList->selectedItems());
}

void LanguageList::UseDefault() {
    const std::vector<std::string> common = ReadLanguageList(m_project.CommonLanguageList());
    if (!common.empty()) ShowNames(ListedList, common);
    m_changed = true;
}

void LanguageList::WriteUserList() {
    std::vector<std::string> names;
    for (const QString& name : Listed()) names.push_back(name.toStdString());
    try {
        WriteLanguageList(m_project.UserLanguageList(), names);
    } catch (const std::exception& error) {
        // The dialog stays open with the list as it is: nothing was saved.
        return m_person.ShowMessage(error.what());
    }
    m_changed = true;
    accept();
}

}  // namespace quirebook
