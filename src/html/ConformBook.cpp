#include "html/ConformBook.h"

#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "html/Conformance.h"
#include "html/LimitedPass.h"
#include "html/LinksAndResources.h"
#include "text/Entities.h"
#include "text/FolderFiles.h"
#include "text/OrderedWork.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// How much chapter text may have its tree held between the two passes: a tree takes about ten
// times the bytes of its text.
constexpr std::size_t kHeldChapterBytes = 4u << 20;

// Every file under OpsFolder, relative to it: the chapters and the resources carried with them.
void AddBookFiles(const BookProject& project, BookLinks& links) {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(project.OpsFolder, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error))
            links.AddFile(fs::relative(it->path(), project.OpsFolder, error).generic_string());
    }
}

// `name` with "-N" before its extension.
std::string Numbered(const std::string& name, int number) {
    const fs::path path(name);
    return (path.parent_path() /
            (path.stem().string() + "-" + std::to_string(number) + path.extension().string()))
        .generic_string();
}

// Each chapter's name in the book: the EPUB 3 name when no chapter or file of the book has it
// already, else its own. Names are told apart without regard to case, as readers' file systems
// and the container's rules do: a chapter whose name another chapter or file already has in
// other capitals ("Index.html" beside "index.html") gets "-2", "-3" ... before its extension.
std::vector<std::string> WrittenChapterNames(const BookProject& project) {
    std::vector<std::string> names = project.ChapterFiles;
    const std::set<std::string> chapters(names.begin(), names.end());
    std::set<std::string> taken;  // lower case
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(project.OpsFolder, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string file =
            fs::relative(it->path(), project.OpsFolder, error).generic_string();
        if (it->is_regular_file(error) && chapters.count(file) == 0) taken.insert(AsciiLower(file));
    }
    for (std::string& name : names) {
        if (project.Options.EpubVersion >= 3) {
            const std::string renamed = Epub3ChapterName(name);
            if (renamed != name && taken.count(AsciiLower(renamed)) == 0 &&
                chapters.count(renamed) == 0)
                name = renamed;
        }
        const std::string first = name;
        for (int number = 2; taken.count(AsciiLower(name)) != 0; ++number)
            name = Numbered(first, number);
        taken.insert(AsciiLower(name));
    }
    return names;
}

}  // namespace

std::string Epub3ChapterName(const std::string& chapter) {
    fs::path name(chapter);
    const std::string extension = AsciiLower(name.extension().string());
    if (extension != ".htm" && extension != ".html") return chapter;
    return name.replace_extension(".xhtml").generic_string();
}

void ConformBook(BookProject& project, ChapterTexts& texts, UserInterface& ui) {
    BookLinks links;
    const std::size_t count = texts.size();
    const unsigned jobs = project.ThreadCount();
    // Titles are kept escaped for the package; the stage escapes what it writes itself.
    const auto optionsOf = [&](std::size_t i) {
        return ConformOptions{
            project.BookMetadata.Language,
            i < project.ChapterTitles.size() ? DecodeEntities(project.ChapterTitles[i]) : "",
            project.Options.EpubVersion};
    };
    // The trees of the first chapters, up to kHeldChapterBytes of their text, are held from
    // pass 1 to pass 2; the others are parsed again from the same text in pass 2, which gives
    // the same tree. Memory stays bounded on long books; the book is the same either way.
    std::vector<bool> held(count);
    for (std::size_t i = 0, bytes = 0; i < count; ++i) {
        bytes += texts[i].size();
        held[i] = bytes <= kHeldChapterBytes;
    }
    std::vector<std::optional<ConformedChapter>> conformed(count);
    std::vector<std::vector<std::string>> ids(count);
    WorkInOrder(
        count, jobs,
        [&](std::size_t i) {
            conformed[i].emplace(texts[i], optionsOf(i));
            ids[i] = conformed[i]->Ids();
            if (!held[i]) conformed[i].reset();
        },
        [&](std::size_t i) {
            links.AddChapter(project.ChapterFiles[i], ids[i]);
            ids[i] = {};
        });
    AddBookFiles(project, links);
    const std::vector<std::string> written = WrittenChapterNames(project);
    for (std::size_t i = 0; i < count; ++i)
        if (written[i] != project.ChapterFiles[i])
            links.WriteChapterAs(project.ChapterFiles[i], written[i]);
    std::vector<ChapterReport> reports(count);
    WorkInOrder(
        count, jobs,
        [&](std::size_t i) {
            const std::string& chapter = project.ChapterFiles[i];
            if (!conformed[i]) conformed[i].emplace(texts[i], optionsOf(i));
            // Only the writing can meet a pattern limit (in a style sheet); the chapter then
            // stays as it came.
            RunLimitedPass(
                reports[i], chapter, "the XHTML conformance", texts[i],
                [&](const std::string&) { return conformed[i]->WithBookLinks(chapter, links); });
            conformed[i].reset();  // its tree is no longer needed
        },
        [&](std::size_t i) { reports[i].HandOver(project, ui); });
    for (std::size_t i = 0; i < count; ++i) {
        if (written[i] == project.ChapterFiles[i]) continue;
        std::error_code error;  // a file that cannot be removed stays, and is packed as well
        fs::remove(project.OpsFolder + project.ChapterFiles[i], error);
        project.ChapterFiles[i] = written[i];
    }
}

}  // namespace quirebook
