// The words of real pages survive the whole making of a book: every word of each source page's
// body (scripts, styles and forms aside, which the cleaning removes on purpose) is in the
// finished chapter as often as in the page.
#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WebImport.h"
#include "app/WordImport.h"
#include "css/manCSS.h"
#include "html/Charset.h"
#include "text/Entities.h"
#include "text/PatternHelpers.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using testing::TempFolder;

// The words of a page's body, counted: markup removed (a tag counts as a word break only where
// it stands between blanks, as in the page), references decoded.
std::map<std::string, int> BodyWords(const std::string& page) {
    std::string body = ExtractBodyText(ReplacePattern(page, "<BODY", "<body"));
    DeletePattern(body, "<(script|style|noscript|textarea|select|form)\\b.*?</\\1>");
    DeletePattern(body, "<!--.*?-->");
    DeletePattern(body, "<[^>]*>");
    // A no-break space separates words like a space.
    std::istringstream words(ReplacePattern(DecodeEntities(body), "\xC2\xA0", " "));
    std::map<std::string, int> counted;
    for (std::string word; words >> word;) ++counted[word];
    return counted;
}

class CorpusWords : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusWords, NoWordOfAPageIsLost) {
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    if (!testing::LoadCorpusWebBook(GetParam(), book))
        GTEST_SKIP() << "the corpus of real documents is not beside the checkout";
    std::vector<std::string> pages;
    for (const std::string& chapter : book.ChapterFiles)
        pages.push_back(book.SourceFolder + chapter);
    book.ChapterFiles.clear();  // a new project: nothing to ask about
    BookForm form;
    testing::RecordingUserInterface ui;
    book.OutputFolder = temp / "out/";
    ASSERT_TRUE(ImportWebPages(book, form, ui, pages));
    ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
    for (const std::string& chapter : book.ChapterFiles) {
        const auto source = BodyWords(PageToUtf8(LoadTextFile(book.SourceFolder + chapter)));
        const auto made = BodyWords(LoadTextFile(book.OpsFolder + chapter));
        std::string lost;
        for (const auto& [word, count] : source) {
            const auto found = made.find(word);
            const int left = found == made.end() ? 0 : found->second;
            if (left < count) lost += " \"" + word + "\"x" + std::to_string(count - left);
        }
        EXPECT_TRUE(lost.empty()) << chapter << " lost:" << lost.substr(0, 2000);
    }
}

// The words of a page saved by Word survive too, spread over the chapters it is split into.
// Word's own markup of lists (the bullet glyphs of its symbol fonts) becomes entities, so only
// words of two letters or more are compared.
TEST(CorpusWordPages, NoWordOfAPageIsLost) {
    const std::filesystem::path set = std::filesystem::path(QUIREBOOK_SOURCE_DIR) / ".." /
                                      "shared" / "corpus" / "wordhtml" / "utf8";
    if (!std::filesystem::is_directory(set)) GTEST_SKIP() << "the corpus is not there";
    for (const auto& folder : std::filesystem::directory_iterator(set)) {
        std::filesystem::path page;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().extension() == ".htm" || entry.path().extension() == ".html")
                page = entry.path();
        if (page.empty()) continue;
        TempFolder temp;
        BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
        book.OutputFolder = temp / "out/";
        BookForm form;
        testing::RecordingUserInterface ui;
        ASSERT_TRUE(ImportWordHtml(book, form, ui, page.string()));
        ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
        std::map<std::string, int> made;
        for (const std::string& chapter : book.ChapterFiles)
            for (const auto& [word, count] : BodyWords(LoadTextFile(book.OpsFolder + chapter)))
                made[word] += count;
        std::string lost;
        for (const auto& [word, count] : BodyWords(LoadTextFile(page.string()))) {
            if (word.size() < 2) continue;
            const int left = made.count(word) != 0 ? made[word] : 0;
            if (left < count) lost += " \"" + word + "\"x" + std::to_string(count - left);
        }
        EXPECT_TRUE(lost.empty()) << page.filename() << " lost:" << lost.substr(0, 1500);
    }
}

INSTANTIATE_TEST_SUITE_P(WebBooks, CorpusWords,
                         ::testing::Values("debian-reference", "gutenberg-15122",
                                           "python-3.11-tutorial", "standardebooks-flatland"));

}  // namespace
}  // namespace quirebook
