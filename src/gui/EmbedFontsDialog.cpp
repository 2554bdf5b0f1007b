// Lays out the font window and keeps its grid of families and font files.
#include "gui/EmbedFontsDialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMap>
#include <QVBoxLayout>

namespace quirebook {

namespace {

constexpr const char* kFontFilter = "Font file(*.ttf;*.otf;*.fon)|*.ttf;*.otf;*.fon";

}  // namespace

EmbedFontsDialog::EmbedFontsDialog(FileChooser& files, UserInterface& person, QWidget* parent)
    : QDialog(parent),
      FontList(new QTableWidget(0, 3)),
      EmbedThisFont(new QAction("Embed this font", this)),
      EmbedButton(new QPushButton("Embed")),
      m_files(files),
      m_person(person),
      m_fontFolder("/usr/share/fonts") {
    setWindowTitle("Pro");
    setModal(false);
    EmbedButton->setObjectName("btnEmbed");
    FontList->setObjectName("FontList");
    FontList->setHorizontalHeaderLabels({"Font Family", "", "Font File"});
    FontList->setSelectionBehavior(QAbstractItemView::SelectRows);
    FontList->setSelectionMode(QAbstractItemView::SingleSelection);
    FontList->verticalHeader()->setSectionsMovable(true);
    FontList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    FontList->horizontalHeader()->setStretchLastSection(true);
    FontList->setColumnWidth(FamilyColumn, 150);
    FontList->setColumnWidth(SpareColumn, 16);
    FontList->setContextMenuPolicy(Qt::ActionsContextMenu);
    FontList->addAction(EmbedThisFont);
    connect(EmbedThisFont, &QAction::triggered, this, &EmbedFontsDialog::ChooseFontFile);
    connect(EmbedButton, &QPushButton::clicked, this, &EmbedFontsDialog::EmbedRequested);
    // Closed by its title bar or Escape.
    connect(this, &QDialog::finished, this, &EmbedFontsDialog::Closed);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(EmbedButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontList, 1);
    layout->addLayout(buttons);
    resize(520, 300);
}

void EmbedFontsDialog::ShowFamilies(const std::vector<std::string>& families) {
    QMap<QString, QString> chosen;
    for (const auto& [family, file] : Assignments())
        chosen.insert(QString::fromStdString(family), QString::fromStdString(file));
    FontList->setRowCount(static_cast<int>(families.size()));
    for (int row = 0; row < FontList->rowCount(); ++row) {
        const QString family = QString::fromStdString(families[static_cast<std::size_t>(row)]);
        // The family is the document's: only the font file is typed or chosen.
        auto* name = new QTableWidgetItem(family);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        auto* spare = new QTableWidgetItem;
        spare->setFlags(spare->flags() & ~Qt::ItemIsEditable);
        FontList->setItem(row, FamilyColumn, name);
        FontList->setItem(row, SpareColumn, spare);
        FontList->setItem(row, FileColumn, new QTableWidgetItem(chosen.value(family)));
    }
}

std::vector<std::pair<std::string, std::string>> EmbedFontsDialog::Assignments() const {
    std::vector<std::pair<std::string, std::string>> assignments;
    for (int row = 0; row < FontList->rowCount(); ++row) {
        const QTableWidgetItem* family = FontList->item(row, FamilyColumn);
        const QTableWidgetItem* file = FontList->item(row, FileColumn);
        if (family == nullptr) continue;
        assignments.emplace_back(family->text().toStdString(),
                                 file == nullptr ? std::string() : file->text().toStdString());
    }
    return assignments;
}

void EmbedFontsDialog::ChooseFontFile() {
    const int row = FontList->currentRow();
    if (row < 0) return;
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne, "Embed this font", kFontFilter, m_fontFolder, {}, {}});
    if (chosen.isEmpty()) return;
    const QString path = QFileInfo(chosen.front()).absoluteFilePath();
    m_fontFolder = QFileInfo(path).absolutePath();
    m_person.ShowMessage(path.toStdString());
    FontList->item(row, FileColumn)->setText(path);
}

}  // namespace quirebook
