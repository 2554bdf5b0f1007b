#include "app/WebImport.h"

#include <algorithm>
#include <filesystem>

#include "app/BookLanguages.h"
#include "epub/EscapeRules.h"
#include "html/BookOutline.h"
#include "html/Charset.h"
#include "html/PageFurniture.h"
#include "html/PageLanguage.h"
#include "html/ResourceRoot.h"
#include "html/XhtmlConversion.h"
#include "text/Encoding.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

bool ConfirmNewProject(const BookProject& project, UserInterface& ui) {
    return project.ChapterFiles.empty() ||
           ui.AskYesNo("Are you sure to quit this project and begin a new book project?");
}

void ResetBookFields(BookProject& project, BookForm& form) {
    form.TitleBox.clear();
    form.AuthorBox.clear();
    form.SubjectBox.clear();
    form.PublisherBox.clear();
    form.IdBox.clear();
    form.SaveLabel = "Your ePub book will be saved";
    form.OutputFolderLabel.clear();
    form.OutputNameLabel.clear();
    form.Published = false;
    project.CoverPicture.clear();
    project.ReplacementStyleSheet.clear();
    project.ResourceRoot.clear();
    project.ChapterLevels.clear();
}

bool ImportWebPages(BookProject& project, BookForm& form, UserInterface& ui,
                    const std::vector<std::string>& pages, const std::vector<int>& levels) {
    if (pages.empty()) {
        ui.ShowMessage("Please choose the web pages of the book.");
        return false;
    }
    const fs::path folder = fs::absolute(pages.front()).parent_path();
    for (const std::string& page : pages) {
        if (fs::absolute(page).parent_path() != folder) {
            ui.ShowMessage("The pages of a book must lie in one folder: " + page + " is not in " +
                           folder.string());
            return false;
        }
    }
    if (!ConfirmNewProject(project, ui)) return false;
    ResetBookFields(project, form);

    project.ChapterFiles.clear();
    project.ChapterSizes.clear();
    project.ChapterLevels.clear();
    for (std::size_t i = 0; i < pages.size() && i < levels.size(); ++i)
        if (levels[i] > 1)
            project.ChapterLevels[FileNameToUtf8(fs::path(pages[i]).filename().string())] =
                levels[i];
    for (const std::string& page : pages) {
        // A name in other bytes than UTF-8 (Latin-1, from an old archive) is named in UTF-8 in
        // the book, and found again on disk by SourceFile.
        project.ChapterFiles.push_back(FileNameToUtf8(fs::path(page).filename().string()));
        project.ChapterSizes.push_back(FileSizeOf(page));
    }
    project.SourceFolder = folder.string() + "/";
    project.ResourceRoot = DefaultResourceRoot(project.SourceFolder, HomeFolder());
    project.ClearBookFolders();
    project.FromWordDocument = false;
    FillChapterGrid(project, form);

    form.TitleBox = BookNameFromFolder(project.SourceFolder);
    for (const std::string& page : pages)
        if (TakeDocumentLanguage(project, form, PageLanguage(LoadTextFile(page)))) break;
    if (project.Options.SaveBesideSource) project.OutputFolder = project.SourceFolder;
    project.OutputName = form.TitleBox + ".epub";
    form.OutputFolderLabel = project.OutputFolder;
    form.OutputNameLabel = project.OutputName;
    form.ReimportEnabled = false;
    return true;
}

bool TakeDocumentLanguage(const BookProject& project, BookForm& form, std::string_view tag) {
    if (tag.empty()) return false;
    if (const std::string name = LanguageNameOfCode(tag, project); !name.empty())
        form.LanguageName = name;
    return true;
}

void FillChapterGrid(BookProject& project, BookForm& form) {
    form.Rows.clear();
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::int64_t size = i < project.ChapterSizes.size() ? project.ChapterSizes[i] : 0;
        form.Rows.push_back({project.ChapterFiles[i], std::string(), SizeText(size)});
    }
    FillChapterTitles(project, form);
}

namespace {

// Whether a page marks its main content (a main element, role="main"), whatever the case.
bool MarksItsMainContent(const std::string& page) {
    if (FindAnyCase(page, "<main") != std::string::npos) return true;
    Regex role(preCaseLess);
    role.SetPattern("\\srole\\s*=\\s*[\"']?main\\b");
    role.SetSubject(page);
    return role.MatchNext();
}

}  // namespace

std::vector<PageOutline> OutlineSourcePages(const BookProject& project) {
    ChapterTexts pages;
    pages.reserve(project.ChapterFiles.size());
    // Read in UTF-8 whatever the page's encoding, so that titles are UTF-8 like the book.
    for (const std::string& name : project.ChapterFiles)
        pages.push_back(PageToUtf8(LoadTextFile(project.SourceFile(name))));
    // A heading in the site's furniture names no chapter, whether the book keeps it or not.
    // Pages that mark their main content are outlined inside it only, so the furniture around it
    // needs no finding.
    const bool allMarkMain = std::all_of(pages.begin(), pages.end(), MarksItsMainContent);
    if (project.FromWordDocument || allMarkMain) return OutlineChapters(project, pages);
    FurnitureChoice choice;
    try {
        choice.Named = ParseSelectors(project.Options.RemoveSelectors);
    } catch (const std::invalid_argument&) {
        // Told when the book is made; the titles do without the selectors.
    }
    choice.ChapterPaths = project.ChapterFiles;
    choice.Jobs = project.ThreadCount();
    std::vector<PageOutline> outlines;
    LeaveOutFurnitureAndOutline(project, pages, choice, outlines);
    return outlines;
}

void FillChapterTitles(BookProject& project, BookForm& form) {
    project.ChapterTitles.clear();
    for (ChapterRow& row : form.Rows) row.Title.clear();
    const OptionFlags& options = project.Options;
    const bool fromPages =
        options.AutoChapterTitles && options.TitleSource != TitleSourceKind::FileName;
    const bool forTree = options.TocFromHeadings && form.ShowsHeadingTree;
    std::vector<PageOutline> outlines;
    if (fromPages || forTree) outlines = OutlineSourcePages(project);
    if (options.AutoChapterTitles) {
        std::vector<std::string> pageTitles;
        for (const PageOutline& outline : outlines) pageTitles.push_back(outline.Title);
        RemoveSharedTitleParts(pageTitles);
        for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
            std::string title;
            if (fromPages) {
                title = ChapterTitleFromPage(outlines[i], pageTitles[i], options.TitleSource,
                                             project.FromWordDocument);
                if (title.empty()) {
                    project.AddLog("* file" + std::to_string(i + 1) + ": " +
                                   "HTML tilte not found, use filename instead.");
                }
            }
            if (title.empty()) title = TitleFromFileName(project.ChapterFiles[i]);
            project.ChapterTitles.push_back(EscapeMarkup(title));
            if (i < form.Rows.size()) form.Rows[i].Title = title;
        }
    }
    // The heading tree shows the entries the book will list; a heading leads to the place its
    // page marks, or to the page.
    if (forTree)
        project.HeadingEntries = BookNavigation(project, outlines);
    else
        project.HeadingEntries.clear();
}

std::string ChapterTitleFromPage(const PageOutline& outline, const std::string& pageTitle,
                                 TitleSourceKind source, bool wordChapter) {
    if (source == TitleSourceKind::HtmlTitle) return pageTitle;
    if (!outline.Headings.empty()) return outline.Headings.front().Label;
    // A Word document's chapters share the document's title: their first words tell them apart.
    if (wordChapter && !outline.FirstWords.empty()) return outline.FirstWords;
    return pageTitle;
}

std::string TitleFromFileName(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.find('.')));
}

std::string BookNameFromFolder(std::string_view folder) {
    std::string path = PlainReplace(folder, "\\", "/");
    if (!path.empty() && path.back() == '/') path.pop_back();
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (name.size() >= 2 && name[1] == ':') name.resize(1);
    return name;
}

}  // namespace quirebook
