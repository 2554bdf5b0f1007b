// The font window ("Pro"): the font families of the imported Word documents in a grid, a font
// file chosen for each family to be embedded, and "Embed" to put them into the book last made.
#pragma once

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <string>
#include <utility>
#include <vector>

#include "gui/FileChooser.h"
#include "text/UserInterface.h"

namespace quirebook {

class EmbedFontsDialog : public QDialog {
    Q_OBJECT
  public:
    enum Column { FamilyColumn, SpareColumn, FileColumn };

    // Font files are chosen through `files`; the chosen path is shown to `person`.
    EmbedFontsDialog(FileChooser& files, UserInterface& person, QWidget* parent = nullptr);

    // One row a family, in order. A family shown before keeps the font file chosen for it.
    void ShowFamilies(const std::vector<std::string>& families);
    // The families and their font files as the grid holds them (an empty file: not embedded).
    std::vector<std::pair<std::string, std::string>> Assignments() const;
    // "Embed this font": a font file for the selected row's family.
    void ChooseFontFile();

    QTableWidget* FontList;
    QAction* EmbedThisFont;
    QPushButton* EmbedButton;

  signals:
    // "Embed" was pressed: the window embeds Assignments() into the book.
    void EmbedRequested();
    // The window was closed.
    void Closed();

  private:
    FileChooser& m_files;
    UserInterface& m_person;
    QString m_fontFolder;  // where the font file dialog starts
};

}  // namespace quirebook
