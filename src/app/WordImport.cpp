#include "app/WordImport.h"

#include <filesystem>
#include <set>

#include "app/LibreOfficeConversion.h"
#include "app/WebImport.h"
#include "epub/EscapeRules.h"
#include "html/Charset.h"
#include "html/PageLanguage.h"
#include "text/Encoding.h"
#include "text/FolderFiles.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"
#include "word/ChapterSplit.h"
#include "word/LightWordCleaning.h"
#include "word/WordHtmlCleaner.h"
#include "word/docx/DocxPackage.h"
#include "word/docx/DocxWordApplication.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// The page's head: everything up to "</head>" (any case), or the first 64 KB of a page that
// never closes its head.
std::string_view HeadOf(std::string_view page) {
    Regex end(preCaseLess);
    end.SetPattern("</head>");
    end.SetSubject(std::string(page.substr(0, 1 << 20)));
    return page.substr(0, end.MatchNext() ? end.MatchStart() - 1 : 1 << 16);
}

bool HasWordGenerator(std::string_view head) {
    return head.find("<meta name=Generator content=\"Microsoft Word ") != std::string_view::npos ||
           head.find("<meta name=\"Generator\" content=\"Microsoft Word ") !=
               std::string_view::npos;
}

// The first-level folders beside the page that its pictures are read from: Word's
// "NAME_files" and any folder its sources name (other languages' Word writes "NAME_fichiers",
// older ones "NAME.fld"). `page` is the page's text in UTF-8, so that the names are found
// whatever encoding the page was saved in.
std::set<std::string> PictureFolders(const std::string& page, const fs::path& source) {
    std::set<std::string> folders = {source.stem().string() + "_files"};
    Regex sources(preCaseLess | preSingleLine);
    sources.SetPattern("\\ssrc\\s*=\\s*[\"']?([^\"'/\\\\>]+)[/\\\\]");
    sources.SetSubject(page);
    while (sources.MatchNext()) folders.insert(PlainReplace(sources.Submatch(1), "%20", " "));
    std::set<std::string> existing;
    std::error_code error;
    for (const std::string& folder : folders) {
        if (IsSafeRelativePath(folder) && fs::is_directory(source.parent_path() / folder, error))
            existing.insert(folder);
    }
    return existing;
}

}  // namespace

bool CheckWordHtmlFile(const std::string& path, UserInterface& ui) {
    const std::string page = PageToUtf8(LoadTextFile(path));
    if (!HasWordGenerator(HeadOf(page))) {
        ui.ShowMessage("Invalid Word HTML: Not MS Word generated HTML.");
        return false;
    }
    const std::string raw = LoadTextFile(path);
    if (!IsReadableCharset(SourceCharset(raw))) {
        ui.ShowMessage("Invalid Word HTML: Please re-save webpage in utf-8 code.");
        return false;
    }
    return true;
}

bool ImportWordHtml(BookProject& project, BookForm& form, UserInterface& ui,
                    const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        ui.ShowMessage("The Word page " + path + " does not exist");
        return false;
    }
    if (!ConfirmNewProject(project, ui) || !CheckWordHtmlFile(path, ui)) return false;
    ResetBookFields(project, form);
    project.BuildLog.clear();
    project.FromWordDocument = true;
    // A page is no document: nothing can be imported again from it.
    project.WordDocPath.clear();
    form.ReimportEnabled = false;
    project.ClearBookFolders();
    project.ResetProgress();
    project.AddLog("Word HTML imported successfully.");

    // The working copy is UTF-8 whatever the page was saved in.
    const fs::path source = fs::absolute(path);
    const std::string copy = project.WordTempFolder + source.filename().string();
    const std::string text = PageToUtf8(LoadTextFile(path));
    SaveTextFile(copy, SetCharset(text, "utf-8"));
    if (project.Options.OptimizeWordHtml) {
        const auto progress = [&](const std::string& status) { project.StepProgress(ui, status); };
        const bool cleaned = project.Options.ExtremeMode
                                 ? SimpleCleanFile(copy)
                                 : CleanWordFile(copy, project.Options, progress);
        if (!cleaned) {
            ui.ShowMessage("Invalid Word HTML: " + path +
                           " holds no Word version the cleaner can work with.");
            return false;
        }
    }
    for (const std::string& folder : PictureFolders(text, source)) {
        CopyFolderFiles((source.parent_path() / folder).string(),
                        (fs::path(project.WordTempFolder) / folder).string());
    }
    project.SourceFolder = project.WordTempFolder;
    // The document's own language, which the cleaning and the split leave on no chapter.
    TakeDocumentLanguage(project, form, PageLanguage(text));
    project.StepProgress(ui, "Splitting " + source.filename().string());
    SplitWordHtml(project, copy, project.Options.SplitWordOnSections, ui);
    FillChapterGrid(project, form);

    form.TitleBox = source.stem().string();
    if (project.Options.SaveBesideSource)
        project.OutputFolder = source.parent_path().string() + "/";
    project.OutputName = form.TitleBox + ".epub";
    form.OutputFolderLabel = project.OutputFolder;
    form.OutputNameLabel = project.OutputName;
    return true;
}

WordApplicationFactory ProgramWordFactory(const BookProject& project) {
    const std::string scratch = project.WordTempFolder + "legacy/";
    return DocxWordApplicationFactory(
        [scratch](const std::string& docPath) { return ConvertWithLibreOffice(docPath, scratch); });
}

bool OpenWordDocument(BookProject& project, BookForm& form, UserInterface& ui, WordConnection& word,
                      const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        ui.ShowMessage("The Word document " + path + " does not exist");
        return false;
    }
    if (!ConfirmNewProject(project, ui)) return false;
    // The system's encoding is UTF-8: a name that is not valid UTF-8 has characters it cannot
    // hold, as a "?" stands for one.
    if (path.find('?') != std::string::npos || !IsValidUtf8(path)) {
        ui.ShowMessage(
            "Please use simple file name with English characters and numbers\r\n"
            "in order to avoid unexpectable problems");
        return false;
    }
    if (!CheckSourceFileName(path, ui)) return false;
    ResetBookFields(project, form);
    project.WordDocPath = fs::absolute(path).lexically_normal().string();
    return ImportWordDocument(project, form, ui, word);
}

bool ImportWordDocument(BookProject& project, BookForm& form, UserInterface& ui,
                        WordConnection& word) {
    if (project.WordDocPath.empty()) return false;
    project.BuildLog.clear();
    word.StartWord(ui);
    if (!word.WordAvailable) return false;
    const fs::path document = project.WordDocPath;
    project.WordDocFolder = document.parent_path().string() + "/";
    project.FromWordDocument = true;
    project.ClearBookFolders();
    project.ResetProgress();
    const std::string page = project.WordTempFolder + document.stem().string() + ".html";
    bool cleaned = false;
    try {
        cleaned = word.ConvertAndCleanWordDocument(project, ui, project.WordDocPath, page);
    } catch (const WordDocumentError& failure) {
        word.QuitWord();
        DeleteFolderTree(project.WordTempFolder + "legacy");
        ui.ShowMessage(failure.what());
        return false;
    }
    word.QuitWord();
    DeleteFolderTree(project.WordTempFolder + "legacy");
    if (!cleaned) {
        ui.ShowMessage("Invalid Word HTML: " + page +
                       " holds no Word version the cleaner can work with.");
        return false;
    }
    project.AddLog("Word file imported successfully.");

    project.SourceFolder = project.WordTempFolder;
    TakeDocumentLanguage(project, form, word.WordLanguage);
    project.StepProgress(ui, "Splitting " + document.filename().string());
    SplitWordHtml(project, page, project.Options.SplitWordOnSections, ui);
    FillChapterGrid(project, form);
    if (project.Options.UseWordProperties) {
        form.TitleBox = word.WordTitle;
        form.AuthorBox = word.WordAuthor;
        form.DescriptionBox = word.WordComments;
    }
    // Word keeps a title of blanks for a document that has none.
    if (TrimBlanks(form.TitleBox).empty()) form.TitleBox = document.stem().string();
    if (project.Options.SaveBesideSource) project.OutputFolder = project.WordDocFolder;
    project.OutputName = document.stem().string() + ".epub";
    form.OutputFolderLabel = project.OutputFolder;
    form.OutputNameLabel = project.OutputName;
    // The book made before is not this import's: "Edit" and "&Validate This" wait for the next
    // publish.
    form.Published = false;
    form.ReimportEnabled = true;
    return true;
}

bool ReimportWordDocument(BookProject& project, BookForm& form, UserInterface& ui,
                          WordConnection& word) {
    if (!project.FromWordDocument || project.WordDocPath.empty()) {
        ui.ShowMessage("HTML files needn't re-import");
        return false;
    }
    if (!ui.AskYesNo("Are you sure to re-import current Word doc?")) return false;
    return ImportWordDocument(project, form, ui, word);
}

}  // namespace quirebook
