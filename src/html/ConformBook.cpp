#include "html/ConformBook.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "html/Conformance.h"
#include "html/LimitedPass.h"
#include "html/LinksAndResources.h"
#include "text/Entities.h"
#include "text/FolderFiles.h"
#include "text/OrderedWork.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// Every file under OpsFolder, relative to it: the chapters and the resources carried with them.
void AddBookFiles(const BookProject& project, BookLinks& links) {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(project.OpsFolder, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error))
            links.AddFile(fs::relative(it->path(), project.OpsFolder, error).generic_string());
    }
}

}  // namespace

void ConformBook(BookProject& project, ChapterTexts& texts, UserInterface& ui) {
    const std::size_t count = texts.size();
    const unsigned jobs = project.ThreadCount();
    BookLinks links;
    std::vector<std::optional<ConformedChapter>> conformed(count);
    WorkInOrder(
        count, jobs,
        [&](std::size_t i) {
            // Titles are kept escaped for the package; the stage escapes what it writes itself.
            const ConformOptions options{
                project.BookMetadata.Language,
                i < project.ChapterTitles.size() ? DecodeEntities(project.ChapterTitles[i]) : ""};
            conformed[i].emplace(texts[i], options);
        },
        [&](std::size_t i) { links.AddChapter(project.ChapterFiles[i], conformed[i]->Ids()); });
    AddBookFiles(project, links);
    std::vector<ChapterReport> reports(count);
    WorkInOrder(
        count, jobs,
        [&](std::size_t i) {
            const std::string& chapter = project.ChapterFiles[i];
            // Only the writing can meet a pattern limit (in a style sheet); the chapter then
            // stays as it came.
            RunLimitedPass(
                reports[i], chapter, "the XHTML conformance", texts[i],
                [&](const std::string&) { return conformed[i]->WithBookLinks(chapter, links); });
            conformed[i].reset();  // its tree is no longer needed
        },
        [&](std::size_t i) { reports[i].HandOver(project, ui); });
}

}  // namespace quirebook
