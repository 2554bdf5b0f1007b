#include "html/ConformBook.h"

#include <filesystem>
#include <vector>

#include "html/Conformance.h"
#include "html/LimitedPass.h"
#include "html/LinksAndResources.h"
#include "text/Entities.h"
#include "text/FolderFiles.h"

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

void ConformBook(BookProject& project, ChapterTexts& texts) {
    BookLinks links;
    std::vector<ConformedChapter> conformed;
    conformed.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // Titles are kept escaped for the package; the stage escapes what it writes itself.
        const ConformOptions options{
            project.BookMetadata.Language,
            i < project.ChapterTitles.size() ? DecodeEntities(project.ChapterTitles[i]) : ""};
        conformed.emplace_back(texts[i], options);
        links.AddChapter(project.ChapterFiles[i], conformed.back().Ids());
    }
    AddBookFiles(project, links);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string& chapter = project.ChapterFiles[i];
        ConformedChapter held = std::move(conformed[i]);  // its tree goes with this chapter
        // Only the writing can meet a pattern limit (in a style sheet); the chapter then stays
        // as it came.
        RunLimitedPass(project, chapter, "the XHTML conformance", texts[i],
                       [&](const std::string&) { return held.WithBookLinks(chapter, links); });
    }
}

}  // namespace quirebook
