#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "html/XhtmlConversion.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

// Converts one chapter text as the book's first chapter and gives the result.
std::string Convert(const std::string& page, const std::string& title, BookProject& book,
                    RecordingUserInterface& ui) {
    book.ClearBookFolders();
    book.ChapterFiles = {"c1.htm"};
    book.ChapterTitles = {title};
    SaveTextFile(book.OpsFolder + "c1.htm", page);
    ChapterTexts texts = LoadChapterTexts(book);
    FinishChapters(book, texts, ui);
    return texts.front();
}

TEST(FinishChapters, MakesAWellFormedUtf8XhtmlChapter) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.BookMetadata.Language = "fr";
    RecordingUserInterface ui;
    const std::string page =
        "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; charset=windows-1252\">"
        "</HEAD><BODY bgcolor=white><P align=center>Caf\xe9 &#150; <SPAN>x</SPAN><BR>"
        "<IMG src=./a.png><a\nname=\"2top\"></a><a href=\"#2top\">up</a>"
        "<a href=\"#_ftn1\" name=\"_ftnref1\">[1]</a> Set Name=en</P></BODY></HTML>";
    const std::string chapter = Convert(page, "Chap &amp; one", book, ui);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(chapter.c_str())) << chapter;
    EXPECT_THAT(chapter, HasSubstr("xml:lang=\"fr\""));
    EXPECT_THAT(chapter, HasSubstr("charset=utf-8"));
    EXPECT_THAT(chapter, HasSubstr("<title>Chap &amp; one</title>"));
    EXPECT_THAT(chapter, HasSubstr("<p>Caf\xc3\xa9 &ndash; x<br/>"));
    EXPECT_THAT(chapter, HasSubstr("<img src=\"a.png\" alt=\"\"/>"));
    EXPECT_THAT(chapter, HasSubstr("<sup>[1]</sup></a> Set Name=en"));
    // A name after a line break becomes an id, and the link follows it.
    EXPECT_THAT(chapter, HasSubstr("<a\nid=\"_2top\"></a><a href=\"#_2top\">up</a>"));
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(FinishChapters, WritesTheShortCharsetFormAsXhtmlKnowsIt) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    RecordingUserInterface ui;
    const std::string chapter = Convert(
        "<!DOCTYPE html><html><head><meta charset=\"gb2312\"><title>t</title></head>"
        "<body><p>\xc4\xe3\xba\xc3</p></body></html>",
        "T", book, ui);
    EXPECT_THAT(chapter, HasSubstr("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                   "charset=utf-8\" />"));
    EXPECT_THAT(chapter, HasSubstr("<p>\xe4\xbd\xa0\xe5\xa5\xbd</p>"));
    EXPECT_THAT(chapter, Not(HasSubstr("meta charset")));
}

TEST(FinishChapters, ReportsAnUnterminatedTagAndGoesOn) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    RecordingUserInterface ui;
    const std::string chapter =
        Convert("<html><head></head><body><p>a</p></body></html>\n<", "T", book, ui);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_THAT(ui.Messages[0], ::testing::StartsWith("Error in source HTML: unterminated tag"));
    EXPECT_THAT(book.BuildLog, HasSubstr("c1.htm: Error in source HTML"));
    EXPECT_THAT(chapter, HasSubstr("<title>T</title>"));
}

}  // namespace
}  // namespace quirebook
