// Tests of a book's table of contents made from its chapters' outlines, and of the anchors
// written at the headings it leads to.
#include "html/BookOutline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::TempFolder;

// "label@level" for each entry, the anchor after a "#" when it has one.
std::vector<std::string> Shown(const std::vector<HeadingEntry>& entries) {
    std::vector<std::string> shown;
    for (const HeadingEntry& entry : entries)
        shown.push_back(entry.Text + "@" + std::to_string(entry.Level) +
                        (entry.Anchor.empty() ? "" : "#" + entry.Anchor));
    return shown;
}

class BookOutlineTest : public ::testing::Test {
  protected:
    BookOutlineTest() : Book({Temp.Path(), Temp.Path()}, Temp / "work") {
        Book.SourceFolder = Temp / "site/pages/";
        Book.ResourceRoot = Temp / "site";
    }

    std::vector<HeadingEntry> Navigation(const ChapterTexts& pages,
                                         const std::vector<std::string>& titles) {
        Book.ChapterFiles.clear();
        for (std::size_t i = 0; i < pages.size(); ++i)
            Book.ChapterFiles.push_back("c" + std::to_string(i + 1) + ".htm");
        Book.ChapterTitles = titles;
        return BookNavigation(Book, OutlineChapters(Book, pages));
    }

    TempFolder Temp;
    BookProject Book;
};

TEST_F(BookOutlineTest, EachChapterListsItsHeadingsBeneathItAsTheyNest) {
    const ChapterTexts pages = {
        "<h1 id=\"t\">One &amp; All</h1><h2>A</h2><h3 id=\"b\">B</h3><h4>C</h4><h2>D</h2>",
        "<h2>Two</h2><h3>E</h3><h2>F</h2>", "<p>No heading at all</p>",
        // The title's own level again, or a higher one, still lies beneath the chapter.
        "<h1>Three</h1><p>x</p><h1>G</h1><h2>H</h2>"};
    EXPECT_THAT(Shown(Navigation(pages, {"One &amp; All", "Two", "Untitled", "Three"})),
                ElementsAre("One &amp; All@1", "A@2", "B@3#b", "C@4", "D@2", "Two@1", "E@2", "F@2",
                            "Untitled@1", "Three@1", "G@2", "H@3"));
}

TEST_F(BookOutlineTest, ATypedTitleKeepsTheFirstHeadingAsAnEntryAndNoTitleTakesIt) {
    const ChapterTexts pages = {"<h1>First</h1><h2>Sub</h2>", "<h2>Second</h2>", "<p>x</p>"};
    EXPECT_THAT(Shown(Navigation(pages, {"My own title", "", ""})),
                ElementsAre("My own title@1", "First@2", "Sub@3", "Second@1", "c3.htm@1"));
}

TEST_F(BookOutlineTest, ChaptersNestAsTheirContentsPageNestsThem) {
    const ChapterTexts pages = {"<h1>Getting Started</h1>", "<h1>Installation</h1><h2>Linux</h2>",
                                "<h1>Deep</h1>", "<h1>Next Part</h1>"};
    Book.ChapterLevels = {{"c2.htm", 2}, {"c3.htm", 5}};
    EXPECT_THAT(
        Shown(Navigation(pages, {"Getting Started", "Installation", "Deep", "Next Part"})),
        ElementsAre("Getting Started@1", "Installation@2", "Linux@3", "Deep@3", "Next Part@1"));
    // A chapter dragged to the front stands at the top.
    Book.ChapterLevels = {{"c1.htm", 2}};
    EXPECT_THAT(Shown(Navigation({"<h1>A</h1>"}, {"A"})), ElementsAre("A@1"));
}

TEST_F(BookOutlineTest, LongLabelsAreShortenedAndEscaped) {
    std::string words;
    while (words.size() < 200) words += "word ";
    const ChapterTexts pages = {"<h1>Tom &lt;&amp;&gt; Jerry</h1><h2>" + words + "</h2>"};
    const std::vector<HeadingEntry> entries = Navigation(pages, {"Tom &lt;&amp;&gt; Jerry"});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Text, "Tom &lt;&amp;&gt; Jerry");
    EXPECT_EQ(entries[1].Text, words.substr(0, 99) + "\xE2\x80\xA6");
}

TEST_F(BookOutlineTest, AnchorsAreWrittenOnceAndNeverTakeAnIdOfThePage) {
    ChapterTexts pages = {
        "<h1>One</h1><p id=\"a3\">p</p><h2 id=\"keep\">Two</h2><h2>Three</h2>"
        "<h2 id=\"dup\">Four</h2><p id=\"dup\">q</p><div><h3 class=\"x\">Five</h3></div>"};
    Book.ChapterFiles = {"c1.htm"};
    Book.ChapterTitles = {""};
    const std::vector<PageOutline> outlines = OutlineChapters(Book, pages);
    std::vector<HeadingEntry> entries = BookNavigation(Book, outlines);
    AnchorHeadings(entries, outlines, pages);
    EXPECT_THAT(Shown(entries),
                ElementsAre("One@1", "Two@2#keep", "Three@2#a3_2", "Four@2#a4", "Five@3#a5"));
    EXPECT_EQ(pages[0],
              "<h1>One</h1><p id=\"a3\">p</p><h2 id=\"keep\">Two</h2><h2 id=\"a3_2\">Three</h2>"
              "<h2 id=\"dup\"><a id=\"a4\"></a>Four</h2><p id=\"dup\">q</p>"
              "<div><h3 id=\"a5\" class=\"x\">Five</h3></div>");
}

TEST_F(BookOutlineTest, TitledTablesAndFiguresMakeListsOfTheirOwnWithAnchors) {
    ChapterTexts pages = {"<h1>One</h1><table><caption>Kites</caption></table>",
                          "<h1>Two</h1><figure id=\"f\"><img src=a.png alt=a><figcaption>Wind"
                          "</figcaption></figure><table id=t1><caption>Tails</caption></table>"};
    Book.ChapterFiles = {"c1.htm", "c2.htm"};
    Book.ChapterTitles = {"One", "Two"};
    const std::vector<PageOutline> outlines = OutlineChapters(Book, pages);
    std::vector<HeadingEntry> entries = BookNavigation(Book, outlines);
    AnchorHeadings(entries, outlines, pages);
    std::vector<std::string> tables, figures;
    for (const HeadingEntry& entry : entries) {
        if (entry.List == NavigationList::Tables) tables.push_back(Shown({entry}).front());
        if (entry.List == NavigationList::Figures) figures.push_back(Shown({entry}).front());
    }
    // A table of the second chapter whose number another id of its page has takes another.
    EXPECT_THAT(tables, ElementsAre("Kites@1#t1", "Tails@1#t1"));
    EXPECT_THAT(figures, ElementsAre("Wind@1#f"));
    EXPECT_EQ(pages[0], "<h1>One</h1><table id=\"t1\"><caption>Kites</caption></table>");
}

TEST_F(BookOutlineTest, AnchorsTheConversionLostLeadToTheChapter) {
    Book.ChapterFiles = {"c1.htm"};
    Book.HeadingEntries = {{"One", 1, 0, 0, ""}, {"Two", 2, 0, 1, "a1"}, {"Three", 2, 0, 2, "k"}};
    KeepHeldAnchors(Book, {"<h1>One</h1><h2>Two</h2><h2 id='k'>Three</h2>"});
    EXPECT_THAT(Shown(Book.HeadingEntries), ElementsAre("One@1", "Two@2", "Three@2#k"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("\"Two\" of c1.htm lost its anchor a1"));
}

// The outline read from the parse the furniture is found in is the outline of the cut pages: the
// same headings, with places in the pages as they are left.
TEST_F(BookOutlineTest, TheFurniturePassesParseGivesTheOutlineOfTheCutPages) {
    ChapterTexts pages;
    for (int n = 1; n <= 4; ++n) {
        const std::string number = std::to_string(n);
        pages.push_back(
            "<body><div class=\"side\"><h3>Site menu</h3><p>Home About</p></div>"
            "<h1>Chapter " +
            number + " text</h1><p>The many words of chapter " + number +
            ", which the menus around them are far fewer than.</p>"
            "<div class=\"side\"><h3>Site menu</h3><p>Home About</p></div>"
            "<h2>Part " +
            number + "</h2><nav><h2>In a nav</h2></nav></body>");
    }
    Book.ChapterFiles = {"c1.htm", "c2.htm", "c3.htm", "c4.htm"};
    Book.ChapterTitles = {"", "", "", ""};
    FurnitureChoice choice;
    choice.ChapterPaths = Book.ChapterFiles;
    ChapterTexts shared = pages;
    std::vector<PageOutline> outlines;
    const std::vector<FurnitureBlock> blocks =
        LeaveOutFurnitureAndOutline(Book, shared, choice, outlines);
    EXPECT_EQ(blocks.size(), 12u);  // both menus and the nav of each page
    ChapterTexts cut = pages;
    RemovePageFurniture(cut, choice);
    EXPECT_EQ(shared, cut);
    const std::vector<PageOutline> alone = OutlineChapters(Book, cut);
    ASSERT_EQ(outlines.size(), 4u);
    for (std::size_t c = 0; c < 4; ++c) {
        ASSERT_EQ(outlines[c].Headings.size(), 2u) << cut[c];
        ASSERT_EQ(alone[c].Headings.size(), 2u);
        for (std::size_t h = 0; h < 2; ++h) {
            EXPECT_EQ(outlines[c].Headings[h].Label, alone[c].Headings[h].Label);
            EXPECT_EQ(outlines[c].Headings[h].TagStart, alone[c].Headings[h].TagStart);
            EXPECT_EQ(cut[c].substr(outlines[c].Headings[h].TagStart, 3),
                      "<h" + std::to_string(h + 1));
        }
    }
}

TEST_F(BookOutlineTest, StyleSheetsAreReadFromInsideTheRootOnly) {
    std::filesystem::create_directories(Temp / "site/css");
    std::filesystem::create_directories(Temp / "site/pages");
    SaveTextFile(Temp / "site/css/site.css", "@import 'more.css'; .gone { display: none }");
    SaveTextFile(Temp / "site/css/more.css", "h2.deep { display: none }");
    SaveTextFile(Temp / "outside.css", "h2 { display: none }");
    const ChapterTexts pages = {
        "<link rel=\"stylesheet\" href=\"../css/site.css?v=2\">"
        "<link rel=\"stylesheet\" href=\"../../outside.css\">"
        "<h1>Shown</h1><h2 class=\"gone\">Gone</h2><h2 class=\"deep\">Deep</h2><h2>Kept</h2>"};
    EXPECT_THAT(Shown(Navigation(pages, {""})), ElementsAre("Shown@1", "Kept@2"));
}

TEST_F(BookOutlineTest, ABookWithoutHeadingsNavigationHasNoEntriesAndUtf16PagesAreRead) {
    Book.ChapterFiles = {"c1.htm"};
    Book.ChapterTitles = {"Title"};
    Book.Options.TocFromHeadings = false;
    ChapterTexts pages = {"<h1>Title</h1>"};
    EXPECT_TRUE(OutlineBook(Book, pages).empty());
    Book.Options.TocFromHeadings = true;
    pages = {"<p>No heading</p>"};
    EXPECT_THAT(Shown(OutlineBook(Book, pages)), ElementsAre("Title@1"));
    EXPECT_EQ(Book.BuildLog, "Auto generate TOC failed, no headings found.\r\n");
    // The page in UTF-16 with its byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<meta charset=\"utf-16\"><h1>Title</h1><h2>Sub</h2>")) {
        utf16 += c;
        utf16 += '\0';
    }
    pages = {utf16};
    MakeUtf16PagesUtf8(pages);
    EXPECT_THAT(Shown(OutlineBook(Book, pages)), ElementsAre("Title@1", "Sub@2#a2"));
    EXPECT_EQ(pages[0], "<meta charset=\"utf-8\"><h1>Title</h1><h2 id=\"a2\">Sub</h2>");
}

}  // namespace
}  // namespace quirebook
