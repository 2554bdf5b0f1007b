#include "CorpusBook.h"

#include <filesystem>
#include <sstream>

#include "RecordingUserInterface.h"
#include "html/WebPageCleaning.h"
#include "html/XhtmlConversion.h"
#include "text/TextFiles.h"

namespace quirebook::testing {

namespace fs = std::filesystem;

std::string CorpusPath(const std::string& relative) {
    const fs::path path = fs::path(QUIREBOOK_SOURCE_DIR) / ".." / "shared" / "corpus" / relative;
    std::error_code error;
    return fs::exists(path, error) ? fs::canonical(path).string() : std::string();
}

std::string CorpusWebFolder() {
    return CorpusPath("web");
}

bool LoadCorpusWebBook(const std::string& name, BookProject& book) {
    const std::string corpus = CorpusWebFolder();
    if (corpus.empty()) return false;
    std::istringstream order(LoadTextFile(corpus + "/" + name + "/order.txt"));
    book.ChapterFiles.clear();
    for (std::string line; std::getline(order, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const fs::path page = fs::path(corpus) / name / line;
        book.SourceFolder = page.parent_path().string() + "/";
        book.ChapterFiles.push_back(page.filename().string());
    }
    return !book.ChapterFiles.empty();
}

bool ConvertCorpusWebBook(const std::string& name, BookProject& book) {
    if (!LoadCorpusWebBook(name, book)) return false;
    book.ClearBookFolders();
    book.BookMetadata.Language = "en";
    for (const std::string& chapter : book.ChapterFiles)
        CleanWebPageFile(book.SourceFolder + chapter, book.OpsFolder + chapter, book.Options);
    RecordingUserInterface ui;
    ChapterTexts texts = LoadChapterTexts(book);
    FinishChapters(book, texts, ui);
    SaveChapterTexts(book, texts);
    return true;
}

}  // namespace quirebook::testing
