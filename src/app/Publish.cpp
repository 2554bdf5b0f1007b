#include "app/Publish.h"

#include <exception>
#include <filesystem>
#include <unordered_map>

#include "app/BookLanguages.h"
#include "app/PageFurnitureStep.h"
#include "epub/BuildEpub.h"
#include "epub/PackageDocuments.h"
#include "html/BookOutline.h"
#include "html/BookStyleRepair.h"
#include "html/CarryResources.h"
#include "html/ConformBook.h"
#include "html/FootnotesAndDropCaps.h"
#include "html/LinksAndResources.h"
#include "html/WebPageCleaning.h"
#include "html/XhtmlConversion.h"
#include "text/FolderFiles.h"
#include "text/OrderedWork.h"
#include "text/PlainText.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

std::string Trimmed(const std::string& text) {
    return std::string(TrimBlanks(text));
}

std::string EscapedOr(const std::string& box, const char* fallback) {
    const std::string trimmed = Trimmed(box);
    return trimmed.empty() ? fallback : EscapeMarkup(trimmed);
}

std::string FileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

// The checks before anything is written; a refusal shows its message and asks the front end to
// move to the field at fault.
bool PublishChecksPass(const BookProject& project, const BookForm& form, UserInterface& ui) {
    const auto refuse = [&ui](const char* message, const char* control) {
        ui.ShowMessage(message);
        if (control != nullptr) ui.Focus(control);
        return false;
    };
    if (project.ChapterFiles.empty())
        return refuse("Please import webpages or document first", "btnImportHtml");
    if (Trimmed(form.TitleBox).empty()) return refuse("Please specify the book title", "inTitle");
    if (form.OutputNameLabel.empty())
        return refuse("Please indicate where to save the ePub file", nullptr);
    if (project.ChapterTitles.size() < project.ChapterFiles.size())
        return refuse("Please specify chapter titles for each file", "fileList");
    return true;
}

// Copies (or cleans) each chapter from SourceFolder into OpsFolder, side by side on the book's
// threads. A chapter whose source is missing is named in a message and the log, in the
// chapters' order, and left out of the book; the names are returned. A chapter listed again is
// named in the log and taken once, where it is first listed.
std::vector<std::string> PlaceChapters(BookProject& project, UserInterface& ui) {
    const std::size_t count = project.ChapterFiles.size();
    // A file listed twice is placed once, by its first listing.
    std::vector<std::size_t> first(count);
    std::unordered_map<std::string, std::size_t> firstOfName;
    for (std::size_t i = 0; i < count; ++i)
        first[i] = firstOfName.try_emplace(project.ChapterFiles[i], i).first->second;
    std::vector<char> found(count, 0);
    std::vector<std::string> missing;
    std::vector<std::string> files;
    std::vector<std::string> titles;
    WorkInOrder(
        count, project.ThreadCount(),
        [&](std::size_t i) {
            if (first[i] != i) return;
            const std::string& name = project.ChapterFiles[i];
            const std::string source = project.SourceFile(name);
            std::error_code error;
            if (!fs::is_regular_file(source, error)) return;
            found[i] = 1;
            const std::string target = project.OpsFolder + name;
            if (project.Options.RemoveHtmlElements) {
                CleanWebPageFile(source, target, project.Options);
            } else {
                CopyFile(source, target);
            }
        },
        [&](std::size_t i) {
            const std::string& name = project.ChapterFiles[i];
            if (first[i] != i) {
                // A package holds a file once, and a navigation map gives one target one place.
                project.AddLog("The chapter file " + name +
                               " is listed more than once; the book holds it where it is first "
                               "listed");
                return;
            }
            if (!found[i]) {
                const std::string message =
                    "The chapter file " + project.SourceFile(name) + " does not exist";
                ui.ShowMessage(message);
                project.AddLog(message + ", the book is made without it");
                missing.push_back(name);
                return;
            }
            files.push_back(name);
            titles.push_back(project.ChapterTitles[i]);
        });
    project.ChapterFiles = std::move(files);
    project.ChapterTitles = std::move(titles);
    return missing;
}

// What a book was made without: chapters whose source is missing, resources left out.
struct LeftOutOfBook {
    std::vector<std::string> Chapters;
    std::vector<LeftOutResource> Resources;
    std::string Furniture;  // the summary of the page furniture left out, empty for none
};

// Everything between the checks and the archive: places the chapters and the extra pages,
// converts the chapters and carries their resources into the book.
LeftOutOfBook AssembleBook(BookProject& project, UserInterface& ui) {
    PrepareWorkFolder(project);
    // A book is made afresh: nothing an earlier publish carried stays to take a path or be packed.
    EmptyFolder(project.OpsFolder);
    LeftOutOfBook leftOut;
    leftOut.Chapters = PlaceChapters(project, ui);
    if (!project.CoverPicture.empty()) {
        CopyFile(project.CoverPicture, project.OpsFolder + FileNameOf(project.CoverPicture));
        WriteCoverPage(project);
    }
    if (project.Options.MakeTitlePage) WriteTitlePage(project);
    if (project.ReplaceStyleSheet && !project.ReplacementStyleSheet.empty()) {
        CopyFile(project.ReplacementStyleSheet,
                 project.OpsFolder + FileNameOf(project.ReplacementStyleSheet));
    }
    // From here to the conformance stage the chapters are held in memory.
    ChapterTexts texts = LoadChapterTexts(project);
    MakeUtf16PagesUtf8(texts);
    // Before the chapters are converted, while the site's classes and roles are all there. The
    // table of contents is read from the same parse of each page, without its furniture, and
    // marks the places of its headings before the conversion.
    std::vector<PageOutline> outlines;
    const bool withHeadings = project.Options.TocFromHeadings;
    leftOut.Furniture = LeaveOutFurniture(project, texts, withHeadings ? &outlines : nullptr);
    project.HeadingEntries = OutlineBook(project, texts, std::move(outlines));
    FinishChapters(project, texts, ui);
    RepairInBookLinks(project, texts);
    MakeDropCaps(texts);
    CarriedResources carried = CarryResources(project, texts);
    if (project.Options.PassEpubCheck) {
        RepairBookStyles(project, texts, carried.StyleSheets);
        ReplaceUnavailableImages(project, texts);
        ConformBook(project, texts, ui);
    }
    KeepHeldAnchors(project, texts);
    SaveChapterTexts(project, texts);
    // The book holds what was carried, and nothing the carrying refused.
    project.ImageFiles = std::move(carried.Pictures);
    project.StyleSheetFiles = std::move(carried.StyleSheets);
    project.FontFiles = std::move(carried.Fonts);
    leftOut.Resources = std::move(carried.LeftOut);
    return leftOut;
}

// The grid sets the reading order and the titles as typed.
void TakeChaptersFromGrid(BookProject& project, const BookForm& form) {
    project.ChapterFiles.clear();
    project.ChapterTitles.clear();
    for (const ChapterRow& row : form.Rows) {
        project.ChapterFiles.push_back(row.FileName);
        project.ChapterTitles.push_back(EscapeMarkup(row.Title));
    }
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

}  // namespace

void ReadMetadataFields(BookProject& project, const BookForm& form) {
    BookMetadataRecord& meta = project.BookMetadata;
    meta.Title = EscapeMarkup(Trimmed(form.TitleBox));
    meta.Creator = EscapedOr(form.AuthorBox, "Anonymous Author");
    meta.Subject = EscapeMarkup(Trimmed(form.SubjectBox));
    meta.Publisher = EscapedOr(form.PublisherBox, "Unknown publisher");
    meta.Identifier = EscapeMarkup(Trimmed(form.IdBox));
    meta.Language = LanguageCode(form.LanguageName, project);
    meta.Description = EscapeMarkup(Trimmed(form.DescriptionBox));
}

bool PublishBook(BookProject& project, BookForm& form, UserInterface& ui) {
    if (!PublishChecksPass(project, form, ui)) return false;
    project.BuildLog.clear();
    project.OutputName = form.OutputNameLabel;
    project.OutputPath = project.OutputFolder + project.OutputName;
    TakeChaptersFromGrid(project, form);
    ReadMetadataFields(project, form);

    // The project keeps every chapter of the grid, also those a book is made without.
    const auto restoreChapters = [&] { TakeChaptersFromGrid(project, form); };
    LeftOutOfBook leftOut;
    try {
        leftOut = AssembleBook(project, ui);
    } catch (const std::exception& error) {
        restoreChapters();
        project.AddLog(error.what());
        ui.ShowMessage(error.what());
        return false;
    }
    if (project.ChapterFiles.empty() || !BuildEpub(project)) {
        restoreChapters();
        ui.ShowMessage(
            "Error in compiling, ePub creation failed, please check if the ePub on use.");
        return false;
    }
    restoreChapters();
    std::string saved =
        "Your ePub book has been saved in " + project.OutputFolder + " as " + project.OutputName;
    if (!leftOut.Chapters.empty())
        saved += "\r\nIt was made without these missing chapters: " + JoinNames(leftOut.Chapters);
    if (!leftOut.Resources.empty()) saved += "\r\n" + LeftOutSummary(leftOut.Resources);
    if (!leftOut.Furniture.empty()) saved += "\r\n" + leftOut.Furniture;
    ui.ShowMessage(saved);
    project.BuildLog += "# ePub book " + project.OutputName + " made successfully.\r\n" +
                        "# File saved at " + project.OutputPath;
    form.SaveLabel = "Your ePub book has been saved ";
    form.Published = true;
    return true;
}

}  // namespace quirebook
