#include "html/ConformBook.h"

#include <filesystem>

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
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::string& chapter = project.ChapterFiles[i];
        const std::string path = project.OpsFolder + chapter;
        std::string text = LoadTextFile(path);
        // Titles are kept escaped for the package; the stage escapes what it writes itself.
        const ConformOptions options{
            project.BookMetadata.Language,
            i < project.ChapterTitles.size() ? DecodeEntities(project.ChapterTitles[i]) : ""};
        RunLimitedPass(project, chapter, "the XHTML conformance", text,
                       [&](const std::string& t) { return ConformChapter(t, options); });
        SaveTextFile(path, text);
        links.AddChapter(chapter, ConformedIds(text));
    }
    AddBookFiles(project, links);
    for (const std::string& chapter : project.ChapterFiles) {
        const std::string path = project.OpsFolder + chapter;
        std::string text = LoadTextFile(path);
        RunLimitedPass(project, chapter, "the link check", text,
                       [&](const std::string& t) { return FixChapterLinks(t, chapter, links); });
        SaveTextFile(path, text);
    }
}

}  // namespace quirebook
