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

TEST(PageFurnitureTest, BlocksHoldingTheMainHeadingOrANavigationHeadingStay) {
    // The site's banner holds the only h1 of every chapter: it is the chapters' main heading.
    const std::string banner = "<header><h1>The Example Society</h1></header>";
    const std::string related =
        "<div class=\"related\"><h3>Related pages</h3><p>See also the index.</p></div>";
    std::vector<std::string> site;
    for (int n = 1; n <= 3; ++n)
        site.push_back(Page(banner + related + "<h2>Part " + std::to_string(n) +
                            "</h2><p>Text of part " + std::to_string(n) +
                            " that is long enough to outweigh the related block and banner, "
                            "so that no share of the words is passed here at all.</p>"));
    std::vector<std::string> copy = site;
    EXPECT_EQ(Names(RemovePageFurniture(copy, {})),
              (std::vector<std::string>{"0:div.related", "1:div.related", "2:div.related"}));
    FurnitureChoice headings;
    headings.HeadingsInNavigation = true;  // h3 "Related pages" is in the navigation map
    copy = site;
    EXPECT_TRUE(RemovePageFurniture(copy, headings).empty());
    EXPECT_EQ(copy, site);
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
