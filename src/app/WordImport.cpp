#include "app/WordImport.h"

#include <filesystem>
#include <set>

#include "app/WebImport.h"
#include "html/Charset.h"
#include "text/Encoding.h"
#include "text/FolderFiles.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/WSRegEx3.h"
#include "word/MSWordHTM.h"
#include "word/simpleclean.h"
#include "word/splitHtml.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// The page's head: everything up to "</head>" (any case), or the first 64 KB of a page that
// never closes its head.
std::string_view HeadOf(std::string_view page) {
    TWSRegEx end(preCaseLess);
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
// older ones "NAME.fld").
std::set<std::string> PictureFolders(const std::string& page, const fs::path& source) {
    std::set<std::string> folders = {source.stem().string() + "_files"};
    TWSRegEx sources(preCaseLess | preSingleLine);
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
    project.ClearBookFolders();
    project.ResetProgress();
    project.AddLog("Word HTML imported successfully.");

    // The working copy is UTF-8 whatever the page was saved in.
    const fs::path source = fs::absolute(path);
    const std::string copy = project.WordTempFolder + source.filename().string();
    const std::string original = LoadTextFile(path);
    SaveTextFile(copy, SetCharset(PageToUtf8(original), "utf-8"));
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
    for (const std::string& folder : PictureFolders(original, source)) {
        CopyFolderFiles((source.parent_path() / folder).string(),
                        (fs::path(project.WordTempFolder) / folder).string());
    }
    project.SourceFolder = project.WordTempFolder;
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

}  // namespace quirebook
