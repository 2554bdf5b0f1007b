// Whole web books made of a hand-made site: the site's furniture is left out of the chapters,
// told in the log and the closing message, kept when asked, and the books pass epubcheck.
#include "app/PageFurnitureStep.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WebImport.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

const char* const kNames[] = {"intro.html", "middle.html", "later.html", "end.html"};

// A chapter of a site with a navigation landmark, a repeated sidebar holding an h3, a
// quotation opening the chapter (its own on each) and a repeated footer.
std::string SitePage(int n) {
    const std::string number = std::to_string(n);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Part " + number +
           "</title></head>\n<body>\n"
           "<div class=\"related\" role=\"navigation\"><ul><li><a href=\"index.html\">Index</a>"
           "</li><li><a href=\"next.html\">Next topic</a></li></ul></div>\n"
           "<div class=\"sidebar\"><h3>This Page</h3><ul><li>Report a Bug</li>"
           "<li>Show Source</li></ul></div>\n"
           "<h1>Part " +
           number +
           "</h1>\n"
           "<blockquote class=\"epigraph\"><p>Saying number " +
           number +
           " of the wise.</p></blockquote>\n"
           "<p>Body text of part " +
           number +
           " that tells its own story in more words than the site's furniture, so that the "
           "furniture stays well within its share of the chapter, whatever is left out.</p>\n"
           "<div class=\"footer\"><p>&copy; Copyright 2023, The Example Society.</p></div>\n"
           "</body></html>\n";
}

class PageFurnitureBookTest : public ::testing::Test {
  protected:
    PageFurnitureBookTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
        fs::create_directories(Pages);
        std::vector<std::string> paths;
        for (int n = 0; n < 4; ++n) {
            SaveTextFile(Pages + "/" + kNames[n], SitePage(n + 1));
            paths.push_back(Pages + "/" + kNames[n]);
        }
        EXPECT_TRUE(ImportWebPages(Book, Form, Ui, paths));
        Form.TitleBox = "Site";
    }

    // Publishes the book and gives its chapters as written into the book.
    std::vector<std::string> Publish() {
        EXPECT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
        std::vector<std::string> chapters;
        for (const char* name : kNames) chapters.push_back(LoadTextFile(Book.OpsFolder + name));
        return chapters;
    }

    void ExpectValid() {
        const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
        if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
        EXPECT_TRUE(check.Valid) << check.Output;
    }

    TempFolder Temp;
    std::string Pages = Temp / "site/pages";
    BookProject Book;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(PageFurnitureBookTest, TheFurnitureIsLeftOutToldAndTheChaptersKeepTheirOwnText) {
    const std::vector<std::string> chapters = Publish();
    for (int n = 0; n < 4; ++n) {
        const std::string& chapter = chapters[n];
        EXPECT_THAT(chapter, Not(HasSubstr("Next topic"))) << n;
        EXPECT_THAT(chapter, Not(HasSubstr("Report a Bug"))) << n;
        EXPECT_THAT(chapter, Not(HasSubstr("Copyright"))) << n;
        EXPECT_THAT(chapter, HasSubstr("Saying number " + std::to_string(n + 1))) << n;
        EXPECT_THAT(chapter, HasSubstr("tells its own story")) << n;
        EXPECT_THAT(chapter, ContainsRegex("<h1[^>]*>Part " + std::to_string(n + 1))) << n;
    }
    ASSERT_FALSE(Ui.Messages.empty());
    EXPECT_THAT(Ui.Messages.back(),
                HasSubstr("\r\nRemoved 12 furniture blocks (64 words) from 4 chapters"));
    // One line a block, in chapter order, then the summary.
    EXPECT_THAT(Book.BuildLog,
                HasSubstr("Furniture left out of intro.html: div.related, 3 words (a navigation "
                          "landmark)\r\nFurniture left out of intro.html: div.sidebar, 7 words "
                          "(the same on 4 of 4 chapters)\r\nFurniture left out of intro.html: "
                          "div.footer, 6 words (the same on 4 of 4 chapters)\r\nFurniture left "
                          "out of middle.html: div.related"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("end.html: div.footer, 6 words (the same on 4 of 4 "
                                         "chapters)\r\nRemoved 12 furniture blocks"));
    ExpectValid();
}

TEST_F(PageFurnitureBookTest, KeptFurnitureStaysAndNamedBlocksGoAllTheSame) {
    Book.Options.KeepFurniture = true;
    std::vector<std::string> chapters = Publish();
    EXPECT_THAT(chapters[2], HasSubstr("Next topic"));
    EXPECT_THAT(chapters[2], HasSubstr("Copyright"));
    EXPECT_THAT(Ui.Messages.back(), Not(HasSubstr("furniture")));
    EXPECT_THAT(Book.BuildLog, Not(HasSubstr("Furniture")));

    Book.Options.RemoveSelectors = "div.sidebar li:first-child";
    Ui.Messages.clear();
    EXPECT_FALSE(PublishBook(Book, Form, Ui));  // a selector that cannot be read stops the book
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("The selector \"div.sidebar li:first-child\""));

    Book.Options.RemoveSelectors = "div.sidebar li, .footer";
    chapters = Publish();
    EXPECT_THAT(chapters[1], Not(HasSubstr("Report a Bug")));
    EXPECT_THAT(chapters[1], HasSubstr("This Page"));  // the sidebar's heading is no li
    EXPECT_THAT(chapters[1], Not(HasSubstr("Copyright")));
    EXPECT_THAT(chapters[1], HasSubstr("Next topic"));
    EXPECT_THAT(Ui.Messages.back(),
                HasSubstr("Removed 12 furniture blocks (44 words) from 4 chapters"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("middle.html: li, 3 words (named by div.sidebar li)"));
    ExpectValid();
}

TEST_F(PageFurnitureBookTest, ANavigationMapFromHeadingsIsMadeOfTheHeadingsTheFurnitureLeaves) {
    // The map is made after the furniture is left out: the sidebar's h3 goes with the sidebar.
    Book.Options.TocFromHeadings = true;
    const std::vector<std::string> chapters = Publish();
    EXPECT_THAT(chapters[0], Not(HasSubstr("This Page")));
    EXPECT_THAT(chapters[0], Not(HasSubstr("Next topic")));
    const std::string map = LoadTextFile(Book.OpsFolder + "toc.ncx");
    EXPECT_THAT(map, Not(HasSubstr("This Page")));
    for (int n = 1; n <= 4; ++n) EXPECT_THAT(map, HasSubstr("<text>Part " + std::to_string(n)));
    ExpectValid();
}

TEST_F(PageFurnitureBookTest, APagerLinkingTheNeighbouringChaptersIsLeftOutOnEveryChapter) {
    // Below each chapter's text a pager names the chapters before and after, so its words differ
    // page by page; the first chapter's lacks "Previous", the last one's "Next".
    for (int n = 0; n < 4; ++n) {
        std::string pager = "<div class=\"pager\">";
        if (n > 0)
            pager += "<a href=\"" + std::string(kNames[n - 1]) + "\">Previous: Part " +
                     std::to_string(n) + "</a> ";
        if (n < 3)
            pager += "<a href=\"" + std::string(kNames[n + 1]) + "\">Next: Part " +
                     std::to_string(n + 2) + "</a>";
        std::string page = SitePage(n + 1);
        page.insert(page.find("<div class=\"footer\">"), pager + "</div>\n");
        SaveTextFile(Pages + "/" + kNames[n], page);
    }
    const std::vector<std::string> chapters = Publish();
    for (int n = 0; n < 4; ++n) {
        EXPECT_THAT(chapters[n], Not(HasSubstr("pager"))) << n;
        EXPECT_THAT(chapters[n], HasSubstr("tells its own story")) << n;
    }
    EXPECT_THAT(Book.BuildLog, HasSubstr("Furniture left out of end.html: div.pager, 3 words (the "
                                         "same place and shape on 4 of 4 chapters)"));
    ExpectValid();
}

TEST(PageFurnitureStepTest, WordBooksAreLeftAsTheyAreAndTheSummarySaysOneInTheSingular) {
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.ChapterFiles = {"a.htm", "b.htm"};
    book.Options.RemoveSelectors = "p";
    ChapterTexts texts = {"<body><p>one</p></body>", "<body><div>two</div></body>"};
    book.FromWordDocument = true;
    EXPECT_EQ(LeaveOutFurniture(book, texts), "");
    EXPECT_EQ(texts[0], "<body><p>one</p></body>");
    book.FromWordDocument = false;
    EXPECT_EQ(LeaveOutFurniture(book, texts), "Removed 1 furniture block (1 word) from 1 chapter");
    EXPECT_EQ(texts[0], "<body></body>");
    EXPECT_EQ(FurnitureSummary(3, 10, 2), "Removed 3 furniture blocks (10 words) from 2 chapters");
}

}  // namespace
}  // namespace quirebook
