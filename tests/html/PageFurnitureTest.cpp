// Tests of page furniture: what repetition, landmarks and selectors find, the guards that keep
// a chapter's own text, and the cut that leaves every other byte as it was.
#include "html/PageFurniture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CorpusBook.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Page(const std::string& body) {
    return "<html><head><title>A page</title></head>\n<body>\n" + body + "\n</body></html>\n";
}

const std::string kTopBar =
    "<div class=\"topbar\"><ul><li><a href=\"index.html\">Home</a></li>"
    "<li><a href=\"about.html\">About the site</a></li></ul></div>";
const std::string kFooter =
    "<footer><p>Copyright 2024 The Example Society. All rights reserved.</p></footer>";

// A chapter of the hand-made site: its own heading, an opening quotation and text.
std::string Chapter(int n, const std::string& before = kTopBar,
                    const std::string& after = kFooter) {
    const std::string number = std::to_string(n);
    return Page(before + "\n<div class=\"main\"><h1>Chapter " + number +
                "</h1>\n<div class=\"epigraph\"><p>Quotation number " + number +
                " opens this chapter.</p></div>\n<p>The story of chapter " + number +
                " goes on for a while, with enough words of its own to be the body of the "
                "page, far more than its furniture holds.</p></div>\n" +
                after);
}

std::vector<std::string> Site(int chapters) {
    std::vector<std::string> site;
    for (int n = 1; n <= chapters; ++n) site.push_back(Chapter(n));
    return site;
}

std::vector<std::string> Names(const std::vector<FurnitureBlock>& blocks, bool kept = false) {
    std::vector<std::string> names;
    for (const FurnitureBlock& block : blocks)
        if (block.Kept == kept) names.push_back(std::to_string(block.Chapter) + ":" + block.Name);
    return names;
}

TEST(PageFurnitureTest, ARepeatedBarAndFooterAreCutAndTheRestStaysByteForByte) {
    std::vector<std::string> site = Site(4);
    const std::vector<FurnitureBlock> found = RemovePageFurniture(site, {});
    EXPECT_EQ(Names(found),
              (std::vector<std::string>{"0:div.topbar", "0:footer", "1:div.topbar", "1:footer",
                                        "2:div.topbar", "2:footer", "3:div.topbar", "3:footer"}));
    EXPECT_EQ(found[0].Words, 4u);
    EXPECT_EQ(found[0].Why, "the same on 4 of 4 chapters");
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(site[n - 1], Chapter(n, "", "")) << n;  // the quotation differs: kept
}

TEST(PageFurnitureTest, ChaptersParsedOnSeveralThreadsGiveTheSameBlocksAndTexts) {
    std::vector<std::string> one = Site(9);
    one[4] = Chapter(5, "<nav><a href=\"x.html\">Elsewhere</a></nav>");  // a landmark of its own
    std::vector<std::string> four = one;
    FurnitureChoice choice;
    const std::vector<FurnitureBlock> alone = RemovePageFurniture(one, choice);
    choice.Jobs = 4;
    const std::vector<FurnitureBlock> together = RemovePageFurniture(four, choice);
    EXPECT_EQ(Names(together), Names(alone));
    EXPECT_THAT(Names(alone), ::testing::Contains("4:nav"));
    EXPECT_EQ(four, one);
}

TEST(PageFurnitureTest, TheSameWordsInAnotherShapeOrOnFewChaptersStay) {
    // Five chapters; the bar on two of them only, and a footer whose words are the same
    // everywhere but whose element tree differs on three of them.
    const std::string otherFooter =
        "<footer><p>Copyright 2024 The Example Society.</p><p>All rights reserved.</p></footer>";
    std::vector<std::string> site = {Chapter(1), Chapter(2, "", kFooter),
                                     Chapter(3, "", otherFooter), Chapter(4, "", otherFooter),
                                     Chapter(5, kTopBar, otherFooter)};
    // Three of five is at least half: the other footer goes, the bar (two of five) stays.
    EXPECT_EQ(Names(RemovePageFurniture(site, {})),
              (std::vector<std::string>{"2:footer", "3:footer", "4:footer"}));
    EXPECT_THAT(site[0], HasSubstr("topbar"));
    EXPECT_THAT(site[4], HasSubstr("topbar"));
}

TEST(PageFurnitureTest, ABookOfTwoChaptersLosesOnlyLandmarksAndNamedBlocks) {
    const std::string nav = "<nav class=\"menu\"><a href=\"a.html\">Previous topic</a></nav>";
    const std::string search = "<div role=\"search\"><p>Quick search</p></div>";
    std::vector<std::string> site = {Chapter(1, nav + kTopBar, search + kFooter),
                                     Chapter(2, nav + kTopBar, search + kFooter)};
    FurnitureChoice choice;
    choice.Named = ParseSelectors("footer");
    const std::vector<FurnitureBlock> found = RemovePageFurniture(site, choice);
    EXPECT_EQ(Names(found), (std::vector<std::string>{"0:nav.menu", "0:div", "0:footer",
                                                      "1:nav.menu", "1:div", "1:footer"}));
    EXPECT_EQ(found[0].Why, "a navigation landmark");
    EXPECT_EQ(found[1].Why, "a search landmark");
    EXPECT_EQ(found[2].Why, "named by footer");
    EXPECT_EQ(site[1], Chapter(2, kTopBar, ""));
}

TEST(PageFurnitureTest, AShortBookFindsLandmarksWrittenInAnyCase) {
    // Below the chapters a repetition needs, only pages that may hold a landmark are looked at:
    // the look must see the tag and the attribute in any case.
    std::vector<std::string> site = {
        Chapter(1, "<NAV class=\"menu\"><a href=\"a.html\">Previous topic</a></NAV>", ""),
        Chapter(2, kTopBar, "<div Role=\"search\"><p>Quick search</p></div>"),
    };
    const std::vector<FurnitureBlock> found = RemovePageFurniture(site, FurnitureChoice{});
    EXPECT_EQ(Names(found), (std::vector<std::string>{"0:nav.menu", "1:div"}));
    EXPECT_EQ(site[0], Chapter(1, "", ""));
    EXPECT_EQ(site[1], Chapter(2, kTopBar, ""));
    // A page with neither stays as it is.
    std::vector<std::string> plain = {Chapter(3)};
    EXPECT_TRUE(RemovePageFurniture(plain, FurnitureChoice{}).empty());
    EXPECT_EQ(plain[0], Chapter(3));
}

TEST(PageFurnitureTest, KeepingTheFurnitureStillCutsTheNamedBlocks) {
    std::vector<std::string> site = Site(4);
    FurnitureChoice choice;
    choice.Detect = false;
    EXPECT_TRUE(RemovePageFurniture(site, choice).empty());
    EXPECT_EQ(site, Site(4));
    choice.Named = ParseSelectors("body");  // the page itself is no block
    EXPECT_TRUE(RemovePageFurniture(site, choice).empty());
    choice.Named = ParseSelectors("div.epigraph > p, body > div > ul");
    EXPECT_EQ(
        Names(RemovePageFurniture(site, choice)),
        (std::vector<std::string>{"0:ul", "0:p", "1:ul", "1:p", "2:ul", "2:p", "3:ul", "3:p"}));
    EXPECT_THAT(site[2], Not(HasSubstr("Quotation number")));
    EXPECT_THAT(site[2], HasSubstr("<div class=\"topbar\"></div>"));
    EXPECT_THAT(site[2], HasSubstr(kFooter));
}

TEST(PageFurnitureTest, BlocksHoldingTheMainHeadingStayAndOtherHeadingsDoNot) {
    // The site's banner holds the only h1 of every chapter: it is the chapters' main heading. The
    // related block's h3 is no main heading: the block goes, whatever the navigation is made of.
    const std::string banner = "<header><h1>The Example Society</h1></header>";
    const std::string related =
        "<div class=\"related\"><h3>Related pages</h3><p>See also the index.</p></div>";
    std::vector<std::string> site;
    for (int n = 1; n <= 3; ++n)
        site.push_back(Page(banner + related + "<h2>Part " + std::to_string(n) +
                            "</h2><p>Text of part " + std::to_string(n) +
                            " that is long enough to outweigh the related block and banner, "
                            "so that no share of the words is passed here at all.</p>"));
    EXPECT_EQ(Names(RemovePageFurniture(site, {})),
              (std::vector<std::string>{"0:div.related", "1:div.related", "2:div.related"}));
    EXPECT_THAT(site[2], HasSubstr(banner));
}

TEST(PageFurnitureTest, TheFoundFurnitureNeverPassesItsShareOfAChaptersWords) {
    // A short chapter: the bar (4 words) and the footer (8) against 7 words of its own.
    std::vector<std::string> site = Site(3);
    site.push_back(Page(kTopBar + "<h1>Short</h1><p>Only a few words here, seven.</p>" + kFooter));
    const std::vector<FurnitureBlock> found = RemovePageFurniture(site, {});
    EXPECT_EQ(Names(found, true), std::vector<std::string>{"3:footer"});  // the largest stays
    EXPECT_THAT(Names(found), ::testing::Contains("3:div.topbar"));
    EXPECT_THAT(site[3], HasSubstr(kFooter));
    EXPECT_THAT(site[3], Not(HasSubstr("topbar")));
}

TEST(PageFurnitureTest, TheOutermostRepeatedBlockIsCutAndUnclosedOrEmptyBlocksStay) {
    // The sidebar and the list in it both recur: the sidebar alone is cut; so is a logo
    // without words. An unclosed div and an empty one recur too, and stay.
    const std::string side =
        "<div class=\"logo\"><img src=\"logo.png\" alt=\"\"/></div>"
        "<div class=\"sidebar\"><ul class=\"links\"><li>Show Source</li><li>Report a Bug</li>"
        "</ul></div><div class=\"clearer\"></div>";
    std::vector<std::string> site;
    for (int n = 1; n <= 3; ++n)
        site.push_back(Chapter(n, side, "<div class=\"open\"><p>Unclosed footer note</p>"));
    const std::vector<FurnitureBlock> found = RemovePageFurniture(site, {});
    EXPECT_EQ(Names(found),
              (std::vector<std::string>{"0:div.logo", "0:div.sidebar", "1:div.logo",
                                        "1:div.sidebar", "2:div.logo", "2:div.sidebar"}));
    EXPECT_EQ(found[0].Words, 0u);
    EXPECT_THAT(site[0], Not(HasSubstr("logo.png")));
    EXPECT_THAT(site[0], HasSubstr("<div class=\"clearer\"></div>"));
    EXPECT_THAT(site[0], HasSubstr("Unclosed footer note"));
}

TEST(PageFurnitureTest, AnEmptyLandmarkGoesForItsStyleMayDrawAPanelOverTheText) {
    // A sidebar a script would fill: nothing in it but an empty scroll box.
    std::vector<std::string> site = {
        Chapter(1, "<nav id=\"sidebar\" class=\"sidebar\"><div class=\"scrollbox\"></div></nav>",
                "<div class=\"clearer\"></div>")};
    const std::vector<FurnitureBlock> found = RemovePageFurniture(site, {});
    EXPECT_EQ(Names(found), std::vector<std::string>{"0:nav#sidebar"});
    EXPECT_EQ(found[0].Words, 0u);
    EXPECT_EQ(site[0], Chapter(1, "", "<div class=\"clearer\"></div>"));
}

TEST(PageFurnitureTest, ABlockTheParserMovesOutOfATableIsCutOnce) {
    // The div written inside the table stands in front of it once parsed, yet its bytes lie
    // within the table's: both named, the table's bytes go once and nothing is doubled.
    const std::string table =
        "<table class=\"t\"><div class=\"x\">Moved words</div><tr><td>cell</td></tr></table>";
    std::vector<std::string> site = {Page("<p>before</p>" + table + "<p>after</p>")};
    FurnitureChoice choice;
    choice.Named = ParseSelectors("table, div.x");
    EXPECT_EQ(Names(RemovePageFurniture(site, choice)),
              (std::vector<std::string>{"0:div.x", "0:table.t"}));
    EXPECT_EQ(site[0], Page("<p>before</p><p>after</p>"));
}

TEST(PageFurnitureTest, PagesWithoutBodyMarkupOrWithDeepNestingAreReadSafely) {
    std::vector<std::string> site = {"", "plain text, no markup at all",
                                     std::string(5000, '<') + "div>",
                                     "<nav>" + std::string(100000, 'x')};  // never closed
    std::string deep;
    for (int i = 0; i < 3000; ++i) deep += "<div>";
    site.push_back(deep + "<nav><p>Deep menu</p></nav>");
    const std::vector<std::string> before = site;
    for (const FurnitureBlock& block : RemovePageFurniture(site, {})) EXPECT_EQ(block.Chapter, 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(site[i], before[i]);
}

// Bars whose words differ page by page, found by their place and shape.

std::vector<std::string> PagePaths(int pages) {
    std::vector<std::string> paths;
    for (int n = 1; n <= pages; ++n) paths.push_back("p" + std::to_string(n) + ".html");
    return paths;
}

std::string Link(int n, const std::string& text, const std::string& more = "") {
    return "<a href=\"p" + std::to_string(n) + ".html\"" + more + ">" + text + "</a>";
}

// A node of a manual made by makeinfo: "Next: ..., Previous: ..., Up: ..." above the node and
// below it, the first node without "Previous", the last without "Next", and the generator's line
// closing every page.
std::string ManualNode(int n, int pages) {
    std::string bar = "<div class=\"header\"><p>";
    if (n < pages)
        bar += "Next: " + Link(n + 1, "Node " + std::to_string(n + 1), " rel=\"next\"") + ", ";
    if (n > 1)
        bar += "Previous: " + Link(n - 1, "Node " + std::to_string(n - 1), " rel=\"prev\"") + ", ";
    bar += "Up: <a href=\"dir.html\">Top</a> &nbsp; [<a href=\"toc.html\">Contents</a>]</p></div>";
    const std::string number = std::to_string(n);
    return Page(bar + "\n<hr>\n<h2 class=\"chapter\">" + number + " Node " + number +
                "</h2>\n<p>The node's own text, number " + number +
                ", long enough to be the page's body and to outweigh its two bars by far, "
                "so that no share of the words is passed.</p>\n<hr>\n" +
                bar + "\n<p class=\"made\">This page was made by the manual's tools.</p>");
}

TEST(PageFurnitureTest, AManualsNextPreviousUpBarsGoOnEveryPageAndTheLineAfterThemStays) {
    std::vector<std::string> manual;
    for (int n = 1; n <= 5; ++n) manual.push_back(ManualNode(n, 5));
    FurnitureChoice choice;
    choice.ChapterPaths = PagePaths(5);
    std::vector<std::string> pages = manual;
    const std::vector<FurnitureBlock> found = RemovePageFurniture(pages, choice);
    std::vector<std::string> expected;
    for (int c = 0; c < 5; ++c)
        expected.insert(expected.end(), 2, std::to_string(c) + ":div.header");
    EXPECT_EQ(Names(found), expected);
    EXPECT_EQ(found[0].Why, "the same place and shape on 5 of 5 chapters");
    for (int n = 1; n <= 5; ++n) {
        const std::string& page = pages[n - 1];
        EXPECT_THAT(page, Not(HasSubstr("Next:"))) << n;
        EXPECT_THAT(page, Not(HasSubstr("Previous:"))) << n;
        EXPECT_THAT(page, HasSubstr("The node's own text, number " + std::to_string(n))) << n;
        EXPECT_THAT(page, HasSubstr("This page was made by the manual's tools.")) << n;
    }
    // Without the chapters' paths the bars cannot be told by their links, and stay.
    pages = manual;
    EXPECT_TRUE(RemovePageFurniture(pages, {}).empty());
    EXPECT_EQ(pages, manual);
    // Nor do they go when the book takes the nodes in another order than the manual's links.
    pages = manual;
    choice.ChapterPaths = {"p1.html", "p3.html", "p5.html", "p2.html", "p4.html"};
    std::swap(pages[1], pages[2]);
    std::swap(pages[2], pages[4]);
    std::swap(pages[3], pages[4]);
    EXPECT_TRUE(RemovePageFurniture(pages, choice).empty());
}

// A chapter of a DocBook site: a navigation header and footer (tables of Prev, Next and Home
// links with pictures, and the neighbours' titles), and the chapter's own table of contents,
// which has the same shape on every chapter. Anchors are written "<a id=.../>", which HTML reads
// as links left open, so the parser nests what follows inside links.
std::string DocBookChapter(int n, int pages) {
    const std::string number = std::to_string(n);
    const std::string self = "p" + number + ".html";
    const std::string previous =
        n > 1 ? Link(n - 1, "<img src=\"images/prev.png\" alt=\"Prev\"/>", " accesskey=\"p\"") : "";
    const std::string next =
        n < pages ? Link(n + 1, "<img src=\"images/next.png\" alt=\"Next\"/>", " accesskey=\"n\"")
                  : "";
    const std::string home =
        n > 1
            ? "<a accesskey=\"h\" href=\"p1.html\"><img src=\"images/home.png\" alt=\"Home\"/></a>"
            : "";
    const std::string title = "Chapter " + number + ". Subject " + number;
    return Page(
        "<div class=\"navheader\"><table width=\"100%\" summary=\"Navigation header\"><tr><th "
        "colspan=\"3\">" +
        title + "</th></tr><tr><td>" + previous + " </td><th width=\"60%\"> </th><td> " + next +
        "</td></tr></table><hr/></div>\n"
        "<div class=\"chapter\"><div class=\"titlepage\"><div><div><h1 class=\"title\"><a id=\"c" +
        number + "\"/>" + title +
        "</h1></div></div></div>\n"
        "<div class=\"toc\"><p><strong>Table of Contents</strong></p><dl class=\"toc\"><dt><span "
        "class=\"section\"><a href=\"" +
        self + "#s1\">" + number + ".1. Beginnings of " + number +
        "</a></span></dt><dt><span class=\"section\"><a href=\"" + self + "#s2\">" + number +
        ".2. Ends of " + number +
        "</a></span></dt></dl></div>\n"
        "<div class=\"section\"><div class=\"titlepage\"><div><div><h2 class=\"title\"><a "
        "id=\"s1\"/>" +
        number + ".1. Beginnings of " + number + "</h2></div></div></div><p>The first part of " +
        "chapter " + number + ", whose words are its own and many more than the bars hold, so " +
        "that the bars stay well within their share of the chapter.</p></div>\n"
        "<div class=\"section\"><div class=\"titlepage\"><div><div><h2 class=\"title\"><a "
        "id=\"s2\"/>" +
        number + ".2. Ends of " + number +
        "</h2></div></div></div><p>The second part.</p></div>\n"
        "</div>\n<div class=\"navfooter\"><hr/><table width=\"100%\" summary=\"Navigation "
        "footer\"><tr><td>" +
        previous + " </td><td> </td><td> " + next + "</td></tr><tr><td>" +
        (n > 1 ? "Subject " + std::to_string(n - 1) : std::string()) + " </td><td>" + home +
        "</td><td> " + (n < pages ? "Subject " + std::to_string(n + 1) : std::string()) +
        "</td></tr></table></div>");
}

TEST(PageFurnitureTest, DocBookNavigationGoesOnEveryChapterAndTheChaptersTablesOfContentsStay) {
    std::vector<std::string> book;
    for (int n = 1; n <= 4; ++n) book.push_back(DocBookChapter(n, 4));
    FurnitureChoice choice;
    choice.ChapterPaths = PagePaths(4);
    const std::vector<FurnitureBlock> found = RemovePageFurniture(book, choice);
    EXPECT_EQ(Names(found),
              (std::vector<std::string>{"0:div.navheader", "0:div.navfooter", "1:div.navheader",
                                        "1:div.navfooter", "2:div.navheader", "2:div.navfooter",
                                        "3:div.navheader", "3:div.navfooter"}));
    EXPECT_EQ(found[1].Why, "the same place and shape on 4 of 4 chapters");
    for (int n = 1; n <= 4; ++n) {
        const std::string& page = book[n - 1];
        const std::string number = std::to_string(n);
        EXPECT_THAT(page, Not(HasSubstr("accesskey"))) << n;
        EXPECT_THAT(page, HasSubstr("<div class=\"toc\">")) << n;
        EXPECT_THAT(page, HasSubstr(number + ".2. Ends of " + number + "</a>")) << n;
        EXPECT_THAT(page, HasSubstr("<h1 class=\"title\"><a id=\"c" + number)) << n;
        EXPECT_THAT(page, HasSubstr("The second part.")) << n;
    }
}

TEST(PageFurnitureTest, ATableOfContentsOpeningEveryChapterStaysForItLeadsIntoItsOwnChapter) {
    // Before the heading, with the same shape on every chapter, at the start of its container:
    // only its links, into the chapter itself, tell it from a bar.
    std::vector<std::string> book;
    for (int n = 1; n <= 4; ++n) {
        const std::string self = "p" + std::to_string(n) + ".html";
        book.push_back(Page("<div class=\"chapter\"><ul class=\"toc\"><li><a href=\"" + self +
                            "#a\">Start " + std::to_string(n) + "</a></li><li><a href=\"#b\">End " +
                            std::to_string(n) + "</a></li></ul><h1>Chapter " + std::to_string(n) +
                            "</h1><p>Its text, in more words than the list of contents holds, "
                            "so that no share is passed.</p></div>"));
    }
    const std::vector<std::string> before = book;
    FurnitureChoice choice;
    choice.ChapterPaths = PagePaths(4);
    EXPECT_TRUE(RemovePageFurniture(book, choice).empty());
    EXPECT_EQ(book, before);
}

TEST(PageFurnitureTest, BoxesCaptionsAndCodeThatRecurInTheTextStayWhileTheBarGoes) {
    // Every chapter has a "See also" box of the same shape in the middle of its text, linking to
    // the chapters beside it; a figure with its caption; and a section that closes with a "See
    // also" box to other sites and a code block. A bar above the text is the only furniture.
    std::vector<std::string> book;
    for (int n = 1; n <= 4; ++n) {
        const std::string number = std::to_string(n);
        const std::string bar =
            "<div class=\"bar\">" + (n > 1 ? Link(n - 1, "Back to " + std::to_string(n - 1)) : "") +
            (n < 4 ? Link(n + 1, "On to " + std::to_string(n + 1)) : "") + "</div>";
        book.push_back(Page(
            bar + "<div class=\"body\"><h1>Chapter " + number + "</h1><p>Opening words of " +
            number + ".</p><div class=\"admonition seealso\"><p class=\"title\">See also</p><p>" +
            (n > 1 ? Link(n - 1, "what came before " + number) : "") +
            Link(n % 4 + 1, "what comes after " + number) + "</p></div><p>Middle words of " +
            number + ".</p><div class=\"figure\"><img src=\"f" + number +
            ".png\" alt=\"\"/><div class=\"caption\">Figure " + number + ": a drawing of " +
            number + ", see " + Link(n % 4 + 1, "the next") +
            "</div></div><div class=\"section\"><h2>More " + number +
            "</h2><p>The section's words on the subject of " + number +
            ", plenty of them.</p><div class=\"highlight\"><pre>print(" + number +
            ")</pre></div><div class=\"admonition seealso\"><p class=\"title\">See also</p><p>"
            "<a href=\"https://example.org/" +
            number + "\">the society's notes on " + number + "</a></p></div></div></div>"));
    }
    FurnitureChoice choice;
    choice.ChapterPaths = PagePaths(4);
    EXPECT_EQ(Names(RemovePageFurniture(book, choice)),
              (std::vector<std::string>{"0:div.bar", "1:div.bar", "2:div.bar", "3:div.bar"}));
    for (int n = 1; n <= 4; ++n) {
        const std::string& page = book[n - 1];
        const std::string number = std::to_string(n);
        EXPECT_THAT(page, HasSubstr("what comes after " + number)) << n;
        EXPECT_THAT(page, HasSubstr("Figure " + number + ": a drawing")) << n;
        EXPECT_THAT(page, HasSubstr("<pre>print(" + number + ")</pre>")) << n;
        EXPECT_THAT(page, HasSubstr("the society's notes on " + number)) << n;
        EXPECT_THAT(page, Not(HasSubstr("On to "))) << n;
    }
}

// The Python tutorial of the corpus: every chapter loses its sidebar, navigation bars, search
// box and footer, and keeps its main text byte for byte.
TEST(PageFurnitureTest, ThePythonTutorialLosesItsFurnitureAndKeepsItsText) {
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", "/tmp"}, "/tmp/unused");
    if (!testing::LoadCorpusWebBook("python-3.11-tutorial", book))
        GTEST_SKIP() << "the corpus is not beside the checkout";
    std::vector<std::string> pages;
    for (const std::string& chapter : book.ChapterFiles)
        pages.push_back(LoadTextFile(book.SourceFolder + chapter));
    const std::vector<std::string> before = pages;
    const std::vector<FurnitureBlock> found = RemovePageFurniture(pages, {});
    ASSERT_EQ(pages.size(), 17u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string& page = pages[i];
        for (const char* furniture :
             {"Report a Bug", "Show Source", "Previous topic", "Next topic", "sphinxsidebar",
              "class=\"related\"", "role=\"search\"", "nav-logo"})
            EXPECT_THAT(page, Not(HasSubstr(furniture))) << book.ChapterFiles[i];
        // The main text: from the body's start to the sidebar's, as it was.
        const std::size_t start = before[i].find("<div class=\"body\" role=\"main\">");
        const std::size_t end = before[i].find("<div class=\"sphinxsidebar\"", start);
        ASSERT_NE(end, std::string::npos) << book.ChapterFiles[i];
        EXPECT_THAT(page, HasSubstr(before[i].substr(start, end - start))) << book.ChapterFiles[i];
    }
    // Only one block stays, a short chapter's footer: leaving it out too would pass the share.
    std::vector<std::string> kept;
    for (const FurnitureBlock& block : found)
        if (block.Kept) kept.push_back(book.ChapterFiles[block.Chapter] + " " + block.Name);
    EXPECT_EQ(kept, std::vector<std::string>{"interactive.html div.footer"});
}

}  // namespace
}  // namespace quirebook
