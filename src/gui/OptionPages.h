// The option pages "Settings", "Advanced" and "Pro": their controls, the flags the controls
// write at once when clicked, and the flags read from them before an import and a publish.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "book/BookProject.h"

namespace quirebook {

class OptionPages : public QObject {
    Q_OBJECT
  public:
    // The controls write into `project`'s options and output folder.
    explicit OptionPages(BookProject& project, QObject* parent = nullptr);

    // Every control from the project's options, output folder and program paths.
    void ShowOptions();
    // The options read before an import: the Word choices, "Page Break", the base font size,
    // the split size, the document properties and the global style. True when "Auto extract
    // Word document properties" changed (the window then empties the boxes it fills). Raises
    // std::invalid_argument, with nothing changed, when the split size is not a whole number.
    bool ReadImportOptions();
    // The options read before a publish, in the order of the publish command.
    void ReadPublishOptions();
    // The replacement style sheet beside "Load New": "(default)" while "Replace Stylesheet" is
    // ticked and no sheet is loaded, "(" + folder + ")" + file name of a loaded one, else nothing.
    void ShowStyleSheet();

    QWidget* SettingsPage;
    QWidget* AdvancedPage;
    QWidget* ProPage;

    // "Settings"
    QGroupBox* TitleGroup;
    QCheckBox* AutoTitles;
    QRadioButton* TitleFromFileName;
    QRadioButton* TitleFromHtmlTitle;
    QRadioButton* TitleFromHeading;
    QCheckBox* SplitOnSections;
    QLineEdit* SplitSize;
    QCheckBox* WordProperties;
    QRadioButton* SaveBesideSource;
    QRadioButton* SaveToBookFolder;
    QLineEdit* BookFolder;
    QCheckBox* TitlePage;
    QCheckBox* GlobalStyle;
    QPushButton* EditGlobalStyle;
    QCheckBox* PassEpubCheck;
    QCheckBox* Epub3;  // the book is EPUB 3 rather than EPUB 2
    QCheckBox* OptimizeWord;
    QRadioButton* AccurateMode;
    QRadioButton* ExtremeMode;
    QPushButton* SaveSettingsOnSettings;

    // "Advanced"
    QRadioButton* RelativeEm;
    QRadioButton* SevenLevels;
    QRadioButton* AbsoluteSize;
    QComboBox* BaseSize;
    QCheckBox* RemoveHtml;
    QCheckBox* RemoveScripts;
    QCheckBox* RemoveForms;
    QCheckBox* RemoveLinks;
    QCheckBox* RemoveImages;
    QCheckBox* RemoveMedia;
    QCheckBox* NegativeValue;
    QCheckBox* LineHeight;
    QCheckBox* PageBreak;
    QCheckBox* ColumnWidth;
    QCheckBox* TableWidth;
    QLineEdit* EditorBox;
    QPushButton* SetEditor;
    QLineEdit* EpubCheckBox;
    QPushButton* SetEpubCheck;
    QCheckBox* KeepFurniture;
    QPlainTextEdit* FurnitureSelectors;  // one selector a line (or comma-separated)
    QPushButton* SaveSettingsOnAdvanced;

    // "Pro"
    QCheckBox* TocFromHeadings;
    QCheckBox* EmbedFonts;
    QCheckBox* ReplaceStyleSheet;
    QPushButton* LoadStyleSheet;
    QLabel* StyleSheetLabel;
    QCheckBox* RemoveInlineStyles;
    QCheckBox* RemoveStyleBlocks;
    QCheckBox* RemoveStyleLinks;

  signals:
    // The title source or the automatic titles changed: the titles are to be filled again.
    void TitlesChanged();
    // OutputFolder changed.
    void OutputFolderChanged();

  private:
    void BuildSettingsPage();
    void BuildAdvancedPage();
    void BuildProPage();
    void ConnectFlags();
    // Enables the controls that depend on others.
    void UpdateEnabling();

    BookProject& m_project;
};

}  // namespace quirebook
