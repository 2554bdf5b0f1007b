#include "html/ConformBook.h"

#include <filesystem>
#include <vector>

#include "html/Conformance.h"
#include "html/LimitedPass.h"
#include "html/LinksAndResources.h"
#include "text/Entities.h"
#include "text/FolderFiles.h"
#include "text/TextFiles.h"

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

void ConformBook(BookProject& project) {
    BookLinks links;
    std::vector<ConformedChapter> conformed;
    conformed.reserve(project.ChapterFiles.size());
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::string& chapter = project.ChapterFiles[i];
        // Titles are kept escaped for the package; the stage escapes what it writes itself.
        const ConformOptions options{
            project.BookMetadata.Language,
            i < project.ChapterTitles.size() ? DecodeEntities(project.ChapterTitles[i]) : ""};
        conformed.emplace_back(LoadTextFile(project.OpsFolder + chapter), options);
        links.AddChapter(chapter, conformed.back().Ids());
    }
    AddBookFiles(project, links);
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::string& chapter = project.ChapterFiles[i];
        // Only the writing can meet a pattern limit (in a style sheet); the chapter then stays
        // as it came.
        ConformedChapter held = std::move(conformed[i]);  // its tree goes with this chapter
        std::string text;
        RunLimitedPass(project, chapter, "the XHTML conformance", text,
                       [&](const std::string&) { return held.WithBookLinks(chapter, links); });
        if (!text.empty()) SaveTextFile(project.OpsFolder + chapter, text);
    }
}

}  // namespace quirebook
