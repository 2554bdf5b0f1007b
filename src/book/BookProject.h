// The book project: everything one book is made from (folders, chapter lists, metadata, output,
// option flags, the build log). Front ends create one and pass it to the steps that read or
// write it; a process may hold several side by side.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "book/AppFolders.h"
#include "text/UserInterface.h"

namespace quirebook {

// The book's metadata as written into the package. All but Date and Language are UTF-8 with
// "&", "<" and ">" escaped; Date is the day of publishing as "yyyy-mm-dd".
struct BookMetadataRecord {
    std::string Title;
    std::string Creator;
    std::string Date;
    std::string Subject;
    std::string Publisher;
    std::string Identifier;
    std::string Language;
    std::string Description;
};

// The lists a book's navigation holds: its table of contents, and the lists of its tables and of
// its figures.
enum class NavigationList { Contents, Tables, Figures };

// An entry of the navigation made from the chapters' headings: in the table of contents a chapter
// or a heading of one, else a titled table or figure.
struct HeadingEntry {
    std::string Text;  // the label, escaped for markup
    int Level = 0;     // the depth in the table of contents: 1 for a chapter, 2 beneath it ...
    int Chapter = 0;   // index in ChapterFiles
    // The number of the heading (table, figure) within its chapter, from 1; 0 for the chapter.
    int Ordinal = 0;
    std::string Anchor;  // the id the entry leads to; empty: the chapter's start
    NavigationList List = NavigationList::Contents;
};

// Where chapter titles are taken from at import.
enum class TitleSourceKind { FileName = 0, HtmlTitle = 1, FirstHeading = 2 };

// The settings the conversion steps read, with the values used when no settings file exists.
struct OptionFlags {
    bool AutoChapterTitles = true;
    TitleSourceKind TitleSource = TitleSourceKind::FirstHeading;
    bool SaveBesideSource = false;
    bool RemoveHtmlElements = true;
    bool RemoveScripts = true;
    bool RemoveMedia = true;
    bool RemoveForms = true;
    bool RemoveImages = false;
    bool RemoveLinks = false;
    bool OptimizeWordHtml = true;
    bool ExtremeMode = false;  // not stored: chosen at each Word import
    bool StripTableWidth = true;
    bool RelativeFontSize = true;
    bool SevenLevelFontSize = false;
    int BaseFontSize = 0;  // 0 = automatic, else 12 to 20
    bool MakeTitlePage = false;
    // The table of contents lists each chapter's headings beneath it, not the chapters alone.
    bool TocFromHeadings = true;
    bool SplitWordOnSections = true;
    int SplitSizeKB = 0;
    bool UseWordProperties = true;
    bool RemoveWordToc = true;
    bool ForceIBooksFont = false;
    bool AllowNegativeValues = false;
    bool AllowLineHeight = true;
    bool AllowPageBreak = true;
    bool AllowColumnWidth = true;
    bool UseGlobalStyle = false;
    bool PassEpubCheck = true;
    int EpubVersion = 2;  // the book's EPUB version: 2 or 3
    std::string ExternalEditor;
    std::string EpubCheckJar;
    // Web books: the site's navigation, sidebars and footers repeated on every page stay.
    bool KeepFurniture = false;
    // Web books: blocks these comma-separated CSS selectors name are left out.
    std::string RemoveSelectors;
    bool RemoveStyleBlocks = false;   // not stored
    bool RemoveStyleLinks = false;    // not stored
    bool RemoveInlineStyles = false;  // not stored
};

class BookProject {
  public:
    // The project of a program whose fixed files are under `folders`, working in `workRoot`
    // (a ProcessWorkArea's folder, say).
    BookProject(const AppFolders& folders, const std::string& workRoot);

    // Fixed folders. Each but AppFolder and UserFolder ends with "/".
    std::string AppFolder;       // read-only installation data
    std::string UserFolder;      // writable program files (settings, user language list)
    std::string TemplateFolder;  // AppFolder + "/lib/": package templates and style sheets
    std::string WorkFolder;      // the book tree is assembled and packed here
    std::string OpsFolder;       // WorkFolder + "OPS/": the book's content folder
    std::string WordTempFolder;  // scratch folder of a Word import
    std::string SourceFolder;    // where the chapter files are read from; set by each import
    std::string OutputFolder;    // where the book is written; UserFolder + "/myBook/" by default

    std::string HelpFile() const { return AppFolder + "/help/index.htm"; }
    std::string StartPage() const { return AppFolder + "/help/start.htm"; }
    std::string ExamplesFolder() const { return AppFolder + "/examples/"; }
    std::string SettingsFile() const { return UserFolder + "/setting.opt"; }
    std::string CommonLanguageList() const { return AppFolder + "/lang/common.lang"; }
    std::string UserLanguageList() const { return UserFolder + "/lang/user.lang"; }

    // Book state.
    // Relative to SourceFolder, in reading order, in UTF-8 (see SourceFile).
    std::vector<std::string> ChapterFiles;
    std::vector<std::int64_t> ChapterSizes;  // bytes, parallel to ChapterFiles
    std::vector<std::string> ChapterTitles;  // parallel to ChapterFiles, or empty
    // How deep a contents page nests a chapter among the others, by its name in ChapterFiles: 2
    // for one its list holds inside another's entry ...; a chapter not named is at level 1.
    std::map<std::string, int> ChapterLevels;
    BookMetadataRecord BookMetadata;
    std::string CoverPicture;  // full path, empty for no cover
    bool ReplaceStyleSheet = false;
    std::string ReplacementStyleSheet;  // full path, empty when none
    std::string OutputName;             // file name of the book, with extension
    std::string OutputPath;             // OutputFolder + OutputName, set when publishing starts
    bool FromWordDocument = false;
    std::string WordDocPath;
    std::string WordDocFolder;  // with a trailing "/"
    // Resources are read only inside this folder; empty: SourceFolder itself.
    std::string ResourceRoot;
    // The book's pictures, style sheets and fonts, relative to OpsFolder; one not yet there is
    // copied from the same path under SourceFolder when the package is written.
    std::vector<std::string> ImageFiles;
    std::vector<std::string> StyleSheetFiles;
    std::vector<std::string> FontFiles;
    // The table of contents from headings, in reading order (see TocFromHeadings).
    std::vector<HeadingEntry> HeadingEntries;
    std::string BuildLog;
    OptionFlags Options;
    // How many threads work on the chapters side by side; 0: one per core. The book is the same
    // whatever the number.
    unsigned Jobs = 0;
    // Jobs, or the number of cores when it is 0.
    unsigned ThreadCount() const;
    // The font families of every Word document imported in this run, for font embedding.
    std::vector<std::string> FontFamilyList;

    // The file a chapter is read from: SourceFolder + `chapter`, or the file there whose name is
    // in other bytes than UTF-8 and reads as `chapter` (see LocateByUtf8Names).
    std::string SourceFile(const std::string& chapter) const;
    // Appends `text` and a CR LF to BuildLog.
    void AddLog(std::string_view text);
    // Shows `text` on the status line and moves the progress gauge 10 further (at most 100).
    void StepProgress(UserInterface& ui, const std::string& text);
    // Puts the progress gauge back to 0, at the start of a long step.
    void ResetProgress() { m_progress = 0; }
    // "Replace Stylesheet" ticked or cleared: the replacement sheet is forgotten (one is loaded
    // after ticking), and the chapters' own style elements and style sheet links are removed
    // exactly while it is ticked, so that the new sheet stands instead of them.
    void TickReplaceStyleSheet(bool ticked);
    // Empties OpsFolder and WordTempFolder (creating them when missing) and clears ImageFiles and
    // ChapterTitles. False when something in the folders could not be deleted.
    bool ClearBookFolders();

  private:
    int m_progress = 0;
};

}  // namespace quirebook
