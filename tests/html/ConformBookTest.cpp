// Tests of ConformBook: the conformance stage over a whole book, its chapters in memory.
#include "html/ConformBook.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using testing::RecordingUserInterface;
using testing::TempFolder;

// Behind a long chapter the trees of pass 1 are no longer held: those chapters are parsed again
// for pass 2 and come out as a chapter whose tree was held, on one thread or several.
TEST(ConformBook, GivesTheSameChapterWhetherItsTreeWasHeldOrNot) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.ClearBookFolders();
    book.ChapterFiles = {"a.htm", "long.htm", "c.htm"};
    book.ChapterTitles = {"Same", "Long", "Same"};
    const std::string small =
        "<html><body><h1 id=\"t\">T</h1><pre>\n\nx</pre><p><a href=\"#t\">top</a> "
        "<a href=\"long.htm#far\">far</a> <a href=\"nowhere.htm\">gone</a> "
        "<img src=\"missing.png\" alt=\"pic\"></p></body></html>";
    // Long in bytes, quick to parse: one text.
    std::string long_ = "<html><body><p id=\"far\">far <a href=\"a.htm#t\">up</a></p><pre>";
    long_.append(5u << 20, 'w');
    long_ += "</pre></body></html>";
    long_ += "<p>words <b>bold</b> <a href=\"a.htm#t\">up</a></p>\n";
    for (std::size_t i = 0; i < book.ChapterFiles.size(); ++i)
        SaveTextFile(book.OpsFolder + book.ChapterFiles[i], i == 1 ? long_ : small);
    for (const unsigned jobs : {1u, 3u}) {
        book.Jobs = jobs;
        ChapterTexts texts = {small, long_, small};
        RecordingUserInterface ui;
        ConformBook(book, texts, ui);
        EXPECT_EQ(texts[2], texts[0]) << jobs << " jobs";
        EXPECT_NE(texts[0].find("<a href=\"long.htm#far\">far</a> gone pic"), std::string::npos)
            << texts[0].substr(0, 1000);
        EXPECT_NE(texts[1].find("<a href=\"a.htm#t\">up</a>"), std::string::npos);
    }
}

// Two chapters whose names differ in case alone cannot both stand in a book: the second, and a
// chapter named as a picture in other capitals, is renamed, and the links to it follow.
TEST(ConformBook, ChapterNamesDifferingInCaseAloneAreMadeDistinct) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.ClearBookFolders();
    book.ChapterFiles = {"index.html", "Index.html", "Logo.png.html"};
    book.ChapterTitles = {"Top", "Index", "Logo"};
    SaveTextFile(book.OpsFolder + "logo.PNG.html", "a file of the book");
    const std::string top =
        "<html><body><p><a href=\"Index.html#i\">index</a> <a href=\"index.html\">top</a>"
        "</p></body></html>";
    const std::string index = "<html><body><p id=\"i\">i</p></body></html>";
    ChapterTexts texts = {top, index, index};
    for (std::size_t i = 0; i < texts.size(); ++i)
        SaveTextFile(book.OpsFolder + book.ChapterFiles[i], texts[i]);
    RecordingUserInterface ui;
    ConformBook(book, texts, ui);
    EXPECT_EQ(book.ChapterFiles,
              (std::vector<std::string>{"index.html", "Index-2.html", "Logo.png-2.html"}));
    EXPECT_NE(texts[0].find("<a href=\"Index-2.html#i\">index</a> <a href=\"index.html\">top"),
              std::string::npos)
        << texts[0];
    EXPECT_FALSE(std::filesystem::exists(book.OpsFolder + "Index.html"));
}

}  // namespace
}  // namespace quirebook
