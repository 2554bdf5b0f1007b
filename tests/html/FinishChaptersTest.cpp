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

// Chapters converted side by side give the texts, log lines, messages and progress of chapters
// converted one after another, in the chapters' order.
TEST(FinishChapters, GivesTheSameBookAndReportsInOrderOnAnyNumberOfThreads) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.ClearBookFolders();
    ChapterTexts pages;
    for (int i = 0; i < 12; ++i) {
        book.ChapterFiles.push_back("c" + std::to_string(i) + ".htm");
        book.ChapterTitles.push_back("T" + std::to_string(i));
        // Pages of different lengths finish out of order; every third ends in a stray "<".
        std::string page = "<html><body><p id=\"p" + std::to_string(i) + "\">";
        for (int k = 0; k < (12 - i) * 400; ++k) page += "word <b>bold</b> ";
        page += "<a href=\"c0.htm#p0\">up</a></p></body></html>";
        if (i % 3 == 0) page += std::string(static_cast<std::size_t>(i), ' ') + "<";
        pages.push_back(page);
    }
    const auto convert = [&](unsigned jobs, RecordingUserInterface& ui) {
        book.Jobs = jobs;
        book.BuildLog.clear();
        ChapterTexts texts = pages;
        FinishChapters(book, texts, ui);
        return texts;
    };
    RecordingUserInterface alone;
    const ChapterTexts one = convert(1, alone);
    const std::string oneLog = book.BuildLog;
    RecordingUserInterface together;
    EXPECT_EQ(convert(4, together), one);
    EXPECT_EQ(book.BuildLog, oneLog);
    EXPECT_EQ(together.Messages, alone.Messages);
    EXPECT_EQ(together.Progress, alone.Progress);
    // The log names the chapters with a stray "<" in order.
    ASSERT_EQ(alone.Messages.size(), 4u);
    std::size_t at = 0;
    for (const char* chapter : {"c0.htm: ", "c3.htm: ", "c6.htm: ", "c9.htm: "}) {
        at = oneLog.find(chapter, at);
        EXPECT_NE(at, std::string::npos) << chapter;
    }
    EXPECT_EQ(alone.Progress.back().first, "Converting chapter 12 of 12: c11.htm");
}

}  // namespace
}  // namespace quirebook
