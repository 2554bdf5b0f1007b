#include "app/WebImport.h"

#include <filesystem>

#include "epub/EscapeRules.h"
#include "html/Charset.h"
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
}

bool ImportWebPages(BookProject& project, BookForm& form, UserInterface& ui,
                    const std::vector<std::string>& pages) {
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
    for (const std::string& page : pages) {
        // A name in other bytes than UTF-8 (Latin-1, from an old archive) is named in UTF-8 in
        // the book, and found again on disk by SourceFile.
        project.ChapterFiles.push_back(FileNameToUtf8(fs::path(page).filename().string()));
        project.ChapterSizes.push_back(FileSizeOf(page));
    }
    project.SourceFolder = folder.string() + "/";
    project.ResourceRoot = DefaultResourceRoot(project.SourceFolder, HomeFolder());
    project.ClearBookFolders();
    FillChapterGrid(project, form);

    form.TitleBox = BookNameFromFolder(project.SourceFolder);
    if (project.Options.SaveBesideSource) project.OutputFolder = project.SourceFolder;
    project.OutputName = form.TitleBox + ".epub";
    form.OutputFolderLabel = project.OutputFolder;
    form.OutputNameLabel = project.OutputName;
    project.FromWordDocument = false;
    form.ReimportEnabled = false;
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

void FillChapterTitles(BookProject& project, BookForm& form) {
    project.ChapterTitles.clear();
    for (ChapterRow& row : form.Rows) row.Title.clear();
    if (!project.Options.AutoChapterTitles) return;
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::string& name = project.ChapterFiles[i];
        std::string title;
        if (project.Options.TitleSource != TitleSourceKind::FileName) {
            // Read in UTF-8 whatever the page's encoding, so the title is UTF-8 like the book.
            const std::string page = PageToUtf8(LoadTextFile(project.SourceFile(name)));
            title = project.Options.TitleSource == TitleSourceKind::HtmlTitle
                        ? TitleFromHtml(page)
                        : TitleFromFirstHeading(page);
            if (title.empty()) {
                project.AddLog("* file" + std::to_string(i + 1) + ": " +
                               "HTML tilte not found, use filename instead.");
            }
        }
        if (title.empty()) title = TitleFromFileName(name);
        project.ChapterTitles.push_back(title);
        // Shown as the reader will see it: "&eacute;" as "é", so that the title escaped again at
        // publishing says what the page said.
        if (i < form.Rows.size()) form.Rows[i].Title = DecodeEntities(UnescapeForDisplay(title));
    }
}

std::string TitleFromFileName(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.find('.')));
}

std::string TitleFromHtml(std::string_view page) {
    const std::string_view head = page.substr(0, 255);
    std::size_t tag = head.find("<title>");
    if (tag == std::string_view::npos) tag = head.find("<TITLE>");
    if (tag == std::string_view::npos) return {};
    const std::string_view rest = head.substr(tag + 7);
    return std::string(rest.substr(0, rest.find('<')));
}

std::string TitleFromFirstHeading(std::string_view page) {
    Regex headings(preCaseLess | preSingleLine);
    headings.SetPattern("<h([123])[^>]*>(.+?)</h\\1>");
    headings.SetSubject(std::string(page));
    while (headings.MatchNext()) {
        std::string text = ReplacePattern(headings.Submatch(2), "<[^>]*>", "");
        text = PlainReplace(PlainReplace(text, "&nbsp;", " "), "\n", " ");
        if (!TrimBlanks(text).empty()) return text;
    }
    return {};
}

std::string BookNameFromFolder(std::string_view folder) {
    std::string path = PlainReplace(folder, "\\", "/");
    if (!path.empty() && path.back() == '/') path.pop_back();
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (name.size() >= 2 && name[1] == ':') name.resize(1);
    return name;
}

}  // namespace quirebook
