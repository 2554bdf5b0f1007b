// The main window: the chapter grid with the preview on the left, the pages of the book's
// fields and options on the right, the menus with every command, the status line at the bottom.
// It edits one book project and runs the imports and the publish command on it.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWebEngineView>
#include <optional>
#include <string>

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "gui/BackgroundWork.h"
#include "gui/ChapterGrid.h"
#include "gui/CoverPage.h"
#include "gui/EmbedFontsDialog.h"
#include "gui/FileChooser.h"
#include "gui/GeneralPage.h"
#include "gui/HeadingTree.h"
#include "gui/LanguageListDialog.h"
#include "gui/LogPage.h"
#include "gui/OptionPages.h"
#include "gui/WindowInterface.h"

namespace quirebook {

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // A window on `project`, whose settings it loads. `person` reads the messages and answers
    // the questions; `files` makes the file choices.
    MainWindow(BookProject& project, UserInterface& person, FileChooser& files,
               QWidget* parent = nullptr);

    // Imports files as a file manager hands them over: web pages of one folder, a Word
    // document, or a web page saved by Word.
    void OpenFiles(const QStringList& files);
    // Work runs off the window's thread (publishing, a Word import, validation).
    bool Busy() const { return m_work.Busy(); }

    // The commands of the menus and buttons.
    void ImportWebPagesCommand();
    void ImportContentsPageCommand();
    void ImportWordDocumentCommand();
    void ImportWordHtmlCommand();
    void OpenExampleCommand();
    void ReimportCommand();
    void MakeEpubCommand();
    void ChangeOutputCommand();
    void LoadCoverCommand();
    void ClearCoverCommand();
    void SaveSettingsCommand();
    void SaveLogCommand();
    void ValidateThisCommand();
    void ValidateOtherCommand();
    void RecompileCommand();
    void SetEditorCommand();
    void SetEpubCheckCommand();
    void MoreLanguagesCommand();
    void LoadStyleSheetCommand();
    void EmbedFontsCommand();

    // Left side.
    QPushButton* ImportWebButton;
    QPushButton* ImportContentsButton;
    QPushButton* ImportWordButton;
    QPushButton* MakeEpubButton;
    QToolButton* PreviewToggle;
    ChapterGrid* Grid;
    QWebEngineView* Preview;
    HeadingTree* Headings;
    // Right side.
    QTabWidget* Pages;
    GeneralPage* General;
    CoverPage* Cover;
    OptionPages* Options;
    LogPage* Log;
    // The font window, shown while "Embed Fonts" is ticked.
    EmbedFontsDialog* FontWindow;
    // The language dialog, made when "More..." is first pressed.
    LanguageList* Languages = nullptr;
    // Bottom.
    QProgressBar* Progress;
    QLabel* Status;
    QPushButton* HelpButton;
    // Menu commands that are enabled and disabled as the project goes.
    QAction* ReimportAction;
    QAction* MakeEpubAction;
    QAction* ValidateThisAction;
    QAction* RecompileAction;
    QMenu* EditMenu;

  signals:
    // Work that ran off the window's thread has ended and the window shows its result.
    void WorkFinished();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLeftSide(QWidget* left);
    void BuildMenus();
    void ConnectControls();
    void ShowStartState();

    // The window's fields into the form the app layer reads, and back.
    void ReadForm();
    void ShowForm();
    // Enables the commands for the project's state: published, Word document, busy.
    void UpdateCommands();
    // Reads the import options; false, with the message, when they cannot be read.
    bool ReadImportOptions();
    void ImportPages(const QStringList& pages);
    // After a web import: no headings of an earlier Word document, the dialog's folder, the
    // grid and fields.
    void ShowImportedPages(const QString& folder);
    // The heading tree of HeadingEntries, its nodes leading into `folder`; hidden without
    // TocFromHeadings.
    void ShowHeadingTree(const std::string& folder);
    void ImportWordDocumentFile(const QString& path);
    void ImportWordPageFile(const QString& path);
    // Runs an import or publish `job` off the window's thread, then shows its result.
    void RunWork(std::function<void()> job, std::function<void()> done = nullptr);
    // After an import: fields, grid, preview, commands.
    void ShowImported();
    void ShowProgress(const QString& status, int percent);
    void FocusControl(const std::string& control);
    void ShowInPreview(int row);
    void ShowHeading(const QUrl& target);
    // The drop-down's languages: `names`, else those the language files give; the first chosen.
    void ShowLanguages(const std::vector<std::string>& names);
    // The font window's families, from the Word documents imported so far.
    void ShowFontFamilies();
    void RefillTitles();
    void OpenInEditor(const std::string& file);
    // Validates the book last made (no `book`) or `book`, and shows the result on the Log page.
    void RunValidation(const std::optional<std::string>& book);

    BookProject& m_project;
    FileChooser& m_files;
    WindowInterface m_ui;
    BookForm m_form;
    BackgroundWork m_work;
    int m_previewRow = -1;
    bool m_imported = false;            // the last import made a book
    bool m_closeWhenDone = false;       // the user chose to quit while work ran
    QString m_webFolder, m_wordFolder;  // where the import dialogs start
    std::string m_pendingFocus;         // where a refusal during work moves the focus
    QList<QAction*> m_projectActions;   // the menu commands that work on the project
};

}  // namespace quirebook
