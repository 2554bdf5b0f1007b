// Tests of the reading order a contents page gives: its links in order, each page once, and
// every link not followed told with its reason.
#include "html/ContentsPageWalk.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::TempFolder;

std::vector<std::string> Targets(const PageLinks& links) {
    std::vector<std::string> targets;
    for (const PageLink& link : links.Links) targets.push_back(link.Target);
    return targets;
}

TEST(PageLinksTest, AnchorsAndAreasInOrderWithEscapesUndone) {
    EXPECT_THAT(
        Targets(
            ReadPageLinks("<link rel=stylesheet href=s.css><A HREF=\"one.html\">1</A>"
                          "<!-- <a href=\"old.html\"> --><abbr href=x.html>"
                          "<a class='x' href='two.html#part'>2</a><area shape=rect href=three.html>"
                          "<a\nhref = \"q.html?a=1&amp;b=2\">"
                          "<a name=\"top\"><a data-href=\"no.html\" href=\"yes.html\">")),
        ElementsAre("one.html", "two.html#part", "three.html", "q.html?a=1&b=2", "yes.html"));
}

TEST(PageLinksTest, MarkupThatIsNoLinkHoldsNone) {
    EXPECT_THAT(Targets(ReadPageLinks(
                    "<head><title><a href=t.html></title><style>a[href=\"<a href=s.html>\"]{}"
                    "</style><script>document.write('<a href=\"w.html\">')</script></head>"
                    "<body><!-- <a href=c.html> --><textarea><a href=x.html></textarea>"
                    "<template><a href=p.html></template><script src=j.js></script>"
                    "<a href=real.html>real</a>")),
                ElementsAre("real.html"));
}

TEST(PageLinksTest, ListsAreNumberedOutermostFirstAndMarksAreTakenFromAnyLink) {
    const PageLinks links = ReadPageLinks(
        "<head><link rel=\"Index\" href=\"genindex.html\"><link rel=\"search\" "
        "href=\"search.html\"><link rel=next href=a.html></head><body>"
        "<a href=top.html rel=\"nofollow\tglossary\">T</a>"
        "<nav><ul><li><a href=a.html>A</a><ul><li><a href=a1.html>A1</a></ul></ul></nav>"
        "<p><a href=between.html>X</a></p>"
        "<div class=\"toctree-wrapper compound\"><ol class=x><li><a href=b.html>B</a></ol></div>"
        "<table class=\"menu\"><tr><td><a href=c.html rel=index>C</a></table>"
        "<table><tr><td><a href=d.html>D</a></table>"
        "<div class=\"toc\"><dl><dt><a href=e.html>E</a></dl></div>"
        "<div role=\"doc-toc\"><a href=f.html>F</a></div>"
        "<div class=\"tocs\"><a href=g.html>G</a></div>");
    std::vector<int> lists;
    for (const PageLink& link : links.Links) lists.push_back(link.List);
    EXPECT_THAT(Targets(links),
                ElementsAre("top.html", "a.html", "a1.html", "between.html", "b.html", "c.html",
                            "d.html", "e.html", "f.html", "g.html"));
    EXPECT_THAT(lists, ElementsAre(-1, 0, 0, -1, 1, 2, -1, 3, 4, -1));
    EXPECT_THAT(links.ListKinds, ElementsAre("nav<body", "ol.x<div.toctree-wrapper compound",
                                             "table.menu<body", "div.toc<body", "div<body"));
    EXPECT_THAT(links.Marked, ElementsAre("genindex.html", "search.html", "top.html", "c.html"));
}

// A root "root" holding the pages' folder "root/book", a subfolder, pictures beside it, and a
// page outside the root.
class ContentsPageWalkTest : public ::testing::Test {
  protected:
    ContentsPageWalkTest() {
        fs::create_directories(Book + "/sub");
        fs::create_directories(Root + "/images");
        SaveTextFile(Temp / "outside.html", "<p>outside</p>");
        SaveTextFile(Book + "/index.html",
                     "<a href=\"b.html\">B</a> <a href=\"a.html#x\">A</a> <a href=\"b.html#y\">"
                     "<a href=\"a.html\">A again</a> <a href=\"missing.html\">"
                     "<a href=\"../../outside.html\"> <a href=\"sub/d.html\"> "
                     "<a href=\"notes.pdf\"> <a href=\"https://example.org/\"> "
                     "<a href=\"mailto:me@example.org\"> <a href=\"\"> <a href=\"#top\"> "
                     "<a href=\"index.html\"> <a href=\"file:///etc/passwd.html\"> "
                     "<a href=\"/etc/hosts.html\"> <a href=\".secret.html\"> "
                     "<a href=\"link.html\">");
        SaveTextFile(Book + "/a.html", "<a href=\"c.html\">C</a> <a href=\"missing.html\">");
        SaveTextFile(Book + "/b.html", "<a href=\"index.html\">up</a>");
        SaveTextFile(Book + "/c.html", "<a href=\"a.html\">A</a> <a href=\"e.html\">E</a>");
        SaveTextFile(Book + "/e.html", "<p>deepest</p>");
        SaveTextFile(Book + "/sub/d.html", "<p>in a subfolder</p>");
        SaveTextFile(Book + "/notes.pdf", "%PDF");
        SaveTextFile(Book + "/.secret.html", "<p>hidden</p>");
        fs::create_symlink(Temp / "outside.html", Book + "/link.html");
    }

    ContentsWalk Walk(int depth, bool withContentsPage = true) const {
        return WalkContentsPage(Book + "/index.html", ResourceRoot(Root), depth, withContentsPage);
    }

    std::vector<std::string> Names(const ContentsWalk& walk) const {
        std::vector<std::string> names;
        for (const std::string& page : walk.Pages) {
            EXPECT_EQ(fs::path(page).parent_path(), fs::canonical(Book)) << page;
            names.push_back(fs::path(page).filename().string());
        }
        return names;
    }

    TempFolder Temp;
    std::string Root = Temp / "root";
    std::string Book = Temp / "root/book";
};

TEST_F(ContentsPageWalkTest, TheContentsPagesLinksInOrderEachPageOnce) {
    EXPECT_THAT(Names(Walk(1)), ElementsAre("index.html", "b.html", "a.html"));
    EXPECT_THAT(Names(Walk(1, false)), ElementsAre("b.html", "a.html"));
}

TEST_F(ContentsPageWalkTest, DeeperLevelsFollowBreadthFirst) {
    EXPECT_THAT(Names(Walk(2)), ElementsAre("index.html", "b.html", "a.html", "c.html"));
    EXPECT_THAT(Names(Walk(3)), ElementsAre("index.html", "b.html", "a.html", "c.html", "e.html"));
    // Left out as a chapter, the contents page is still not found again through a link back.
    EXPECT_THAT(Names(Walk(9, false)), ElementsAre("b.html", "a.html", "c.html", "e.html"));
}

TEST_F(ContentsPageWalkTest, AContentsPageInUtf16IsReadByItsByteOrderMark) {
    std::string utf16("\xff\xfe", 2);
    for (const char c : std::string("<a href=\"c.html\">C</a><a href=\"a.html\">A</a>"))
        utf16 += std::string{c, '\0'};
    SaveTextFile(Book + "/index.html", utf16);
    EXPECT_THAT(Names(Walk(1, false)), ElementsAre("c.html", "a.html"));
}

TEST_F(ContentsPageWalkTest, EveryLinkNotFollowedIsToldOnceWithItsReason) {
    const ContentsWalk walk = Walk(2);
    const auto told = [&walk](const std::string& target) {
        int count = 0;
        for (const std::string& line : walk.Skipped)
            count += line.find("the link to " + target + " is skipped") != std::string::npos;
        return count;
    };
    const auto line = [&walk](const std::string& target) {
        for (const std::string& line : walk.Skipped)
            if (line.find("the link to " + target + " ") != std::string::npos) return line;
        return std::string();
    };
    // missing.html is linked from index.html and a.html: told once, naming the first.
    EXPECT_EQ(told("missing.html"), 1);
    EXPECT_EQ(line("missing.html"),
              "index.html: the link to missing.html is skipped: it is missing");
    EXPECT_THAT(line("../../outside.html"), HasSubstr("outside the resource root"));
    EXPECT_THAT(line("sub/d.html"), HasSubstr("in another folder than the contents page"));
    EXPECT_THAT(line("notes.pdf"), HasSubstr("it is not a web page"));
    EXPECT_THAT(line("file:///etc/passwd.html"), HasSubstr("file: URL"));
    EXPECT_THAT(line("/etc/hosts.html"), HasSubstr("absolute path"));
    EXPECT_THAT(line(".secret.html"), HasSubstr("beginning with \".\""));
    EXPECT_THAT(line("link.html"), HasSubstr("symbolic link leads it out"));
    EXPECT_THAT(walk.Skipped,
                ::testing::Contains("index.html: 2 links lead to another site, not followed"));
    // The page itself (an empty link, a fragment, its own name) is neither a chapter again nor
    // a skipped link.
    EXPECT_EQ(told(""), 0);
    EXPECT_EQ(told("index.html"), 0);
    EXPECT_EQ(walk.Skipped.size(), 9u);
}

// A folder of pages, each a heading and the links given, and a contents page written per test.
class ContentsOrderTest : public ::testing::Test {
  protected:
    // Writes `name` with `body` (and `head` in its head).
    void Page(const std::string& name, const std::string& body, const std::string& head = "") {
        SaveTextFile(Temp / ("book/" + name), "<!DOCTYPE html><html><head><title>" + name +
                                                  "</title>" + head + "</head><body>" + body +
                                                  "</body></html>");
    }

    // "name@level" for each page of the walk from contents.html.
    std::vector<std::string> Levels() {
        std::vector<std::string> levels;
        const ContentsWalk walk =
            WalkContentsPage(Temp / "book/contents.html", ResourceRoot(Temp.Path()), 1, true);
        EXPECT_EQ(walk.Levels.size(), walk.Pages.size());
        for (std::size_t i = 0; i < walk.Pages.size() && i < walk.Levels.size(); ++i)
            levels.push_back(fs::path(walk.Pages[i]).filename().string() + "@" +
                             std::to_string(walk.Levels[i]));
        return levels;
    }

    // The pages' names in the walk's order from contents.html.
    std::vector<std::string> Order(int depth = 1) {
        std::vector<std::string> names;
        const ContentsWalk walk =
            WalkContentsPage(Temp / "book/contents.html", ResourceRoot(Temp.Path()), depth, true);
        for (const std::string& page : walk.Pages)
            names.push_back(fs::path(page).filename().string());
        return names;
    }

    // Pages for every name the tests link to.
    ContentsOrderTest() {
        fs::create_directories(Temp / "book");
        for (const char* name :
             {"one.html", "two.html", "three.html", "four.html", "five.html", "genindex.html",
              "search.html", "modindex.html", "glossary.html", "about.html", "Introduction.html",
              "Invoking.html", "Copying.html", "Acknowledgements.html", "Concept-Index.html"})
            Page(name, std::string("<p>") + name + "</p>");
    }

    TempFolder Temp;
};

TEST_F(ContentsOrderTest, AHeaderMenuBeforeTheContentsListComesAfterIt) {
    // As Sphinx writes an index.html: the related bar, then the toctree, then the sidebar.
    Page("contents.html",
         "<div class=\"related\" role=\"navigation\"><ul>"
         "<li><a href=\"genindex.html\" title=\"General Index\">index</a></li>"
         "<li><a href=\"modindex.html\">modules</a> |</li>"
         "<li><a href=\"one.html\" title=\"One\">next</a> |</li>"
         "<li><a href=\"search.html\">search</a></li></ul></div>"
         "<div class=\"body\" role=\"main\"><h1>Book</h1>"
         "<div class=\"toctree-wrapper compound\"><ul>"
         "<li class=\"toctree-l1\"><a class=\"reference internal\" href=\"one.html\">One</a></li>"
         "<li class=\"toctree-l1\"><a href=\"two.html\">Two</a></li>"
         "<li class=\"toctree-l1\"><a href=\"three.html\">Three</a></li></ul></div></div>"
         "<div class=\"sphinxsidebar\" role=\"navigation\"><h4>Next topic</h4>"
         "<p class=\"topless\"><a href=\"one.html\">One</a></p></div>",
         "<link rel=\"index\" title=\"Index\" href=\"genindex.html\">"
         "<link rel=\"search\" title=\"Search\" href=\"search.html\">");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "one.html", "two.html", "three.html",
                                     "modindex.html", "genindex.html", "search.html"));
}

TEST_F(ContentsOrderTest, ATexinfoTopPageGivesItsMenusOrderInEachOfItsForms) {
    // The node's header, a link in the text before the menu, and the menu as makeinfo writes it
    // (a table before Texinfo 6.8, then a ul, and the full contents in a div).
    const std::string header =
        "<div class=\"nav-panel\"><p>Next: <a href=\"Introduction.html\" accesskey=\"n\" "
        "rel=\"next\">Introduction</a> &nbsp; [<a href=\"Concept-Index.html\" title=\"Index\" "
        "rel=\"index\">Index</a>]</p></div><h1 class=\"top\">Manual</h1>"
        "<p>With thanks (<a href=\"Acknowledgements.html\">Acknowledgements</a>).</p>";
    for (const std::string& menu :
         {std::string("<table class=\"menu\" border=\"0\" cellspacing=\"0\">"
                      "<tr><td>&bull; <a href=\"Introduction.html\" accesskey=\"1\">Intro</a>:"
                      "</td></tr><tr><td>&bull; <a href=\"Invoking.html\">Invoking</a>:</td></tr>"
                      "<tr><td>&bull; <a href=\"Copying.html\">Copying</a>:</td></tr>"
                      "<tr><td>&bull; <a href=\"Concept-Index.html\">Concept Index</a>:</td></tr>"
                      "</table>"),
          std::string("<ul class=\"mini-toc\"><li><a href=\"Introduction.html\">Intro</a></li>"
                      "<li><a href=\"Invoking.html\">Invoking</a></li>"
                      "<li><a href=\"Copying.html\">Copying</a></li>"
                      "<li><a href=\"Concept-Index.html\">Concept Index</a></li></ul>"),
          std::string("<div class=\"contents\"><h2>Table of Contents</h2><ul class=\"toc\">"
                      "<li><a href=\"Introduction.html#Intro\">1 Intro</a><ul><li>"
                      "<a href=\"Introduction.html#Intro-1\">1.1</a></li></ul></li>"
                      "<li><a href=\"Invoking.html\">2 Invoking</a></li>"
                      "<li><a href=\"Copying.html\">Appendix A Copying</a></li>"
                      "<li><a href=\"Concept-Index.html\">Concept Index</a></li></ul></div>")}) {
        Page("contents.html", header + menu);
        EXPECT_THAT(Order(),
                    ElementsAre("contents.html", "Introduction.html", "Invoking.html",
                                "Copying.html", "Acknowledgements.html", "Concept-Index.html"))
            << menu;
    }
}

TEST_F(ContentsOrderTest, LinksOutsideTheMainListFollowItInDocumentOrder) {
    Page("contents.html",
         "<ul class=\"links\"><li><a href=\"about.html\">About</a></li></ul>"
         "<p>Start with <a href=\"three.html\">three</a> if you are in a hurry.</p>"
         "<ol><li><a href=\"one.html\">One</a></li><li><a href=\"two.html\">Two</a></li>"
         "<li><a href=\"three.html\">Three</a></li></ol>"
         "<p>See also <a href=\"five.html\">five</a>.</p>"
         "<footer><ul><li><a href=\"four.html\">Four</a></li>"
         "<li><a href=\"one.html\">One again</a></li></ul></footer>");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "one.html", "two.html", "three.html",
                                     "about.html", "five.html", "four.html"));
}

TEST_F(ContentsOrderTest, PagesMarkedAsIndexSearchOrGlossaryComeLast) {
    // Marked by the contents page's head, by a link's rel (any case, among other types), and by
    // a page read later on (one.html's head, at depth 2): each mark moves its page behind all
    // the others, in the order they were found.
    Page(
        "contents.html",
        "<dl class=\"toc\"><dt><a href=\"glossary.html\">Glossary</a></dt>"
        "<dt><a href=\"one.html\">One</a></dt><dt><a href=\"search.html\">Search</a></dt>"
        "<dt><a href=\"two.html\">Two</a></dt><dt><a href=\"genindex.html\" "
        "rel=\"nofollow INDEX\">Index</a></dt><dt><a href=\"three.html\">Three</a></dt></dl>",
        "<link rel=\"glossary\" href=\"glossary.html\"><link rel=\"search\" href=\"search.html\">");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "one.html", "two.html", "three.html",
                                     "glossary.html", "search.html", "genindex.html"));

    Page("contents.html",
         "<ul><li><a href=\"about.html\">About</a></li>"
         "<li><a href=\"one.html\">One</a></li></ul>");
    Page("one.html", "<p><a href=\"four.html\">Four</a></p>",
         "<link rel=\"glossary\" href=\"about.html\">");
    // about.html is followed after one.html on its level, so five.html comes after four.html.
    Page("about.html", "<p><a href=\"five.html\">Five</a></p>");
    EXPECT_THAT(Order(2),
                ElementsAre("contents.html", "one.html", "four.html", "five.html", "about.html"));
    EXPECT_THAT(Order(1), ElementsAre("contents.html", "about.html", "one.html"));
}

TEST_F(ContentsOrderTest, NestedListsBelongToTheOutermostListAndGiveTheirNestingOrder) {
    // The outer list links one page itself and the rest through its nested lists: it holds the
    // most pages, more than the menu beside it, and its order is chapter, then its sections.
    Page("contents.html",
         "<ul class=\"menu\"><li><a href=\"about.html\">About</a></li>"
         "<li><a href=\"genindex.html\">Index</a></li><li><a href=\"five.html\">Five</a></li>"
         "</ul><nav><h2>Contents</h2><ol><li><a href=\"one.html\">One</a>"
         "<ol><li><a href=\"two.html\">1.1</a><ol><li><a href=\"three.html\">1.1.1</a></li>"
         "</ol></li><li><a href=\"four.html\">1.2</a></li></ol></li></ol></nav>");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "one.html", "two.html", "three.html",
                                     "four.html", "about.html", "genindex.html", "five.html"));
}

TEST_F(ContentsOrderTest, TheMainListsNestingGivesEachPageItsLevel) {
    // As an mdBook's toc.html or a Texinfo manual's contents: sub-chapters in pages of their own,
    // the list held two lists deep in the page; a page linked first from a section's entry
    // takes that entry's level, and a page found outside the list stands at the top.
    Page("contents.html",
         "<div><ul><li><ol class=\"chapter\"><li><a href=\"one.html\">1.</a></li>"
         "<li><ol class=\"section\"><li><a href=\"two.html\">1.1</a></li>"
         "<li><a href=\"one.html#x\">1.2</a><ol><li><a href=\"three.html\">1.2.1</a></li>"
         "</ol></li></ol></li><li><a href=\"four.html\">2.</a></li></ol></li></ul></div>"
         "<p><a href=\"five.html\">Five</a></p>");
    EXPECT_THAT(Levels(), ElementsAre("contents.html@1", "one.html@1", "two.html@2", "three.html@3",
                                      "four.html@1", "five.html@1"));
}

TEST_F(ContentsOrderTest, ContentsWrittenAsOneListPerPartKeepTheirOrder) {
    // Sphinx writes one toctree per captioned part; the second holds more pages than the first.
    Page("contents.html",
         "<div class=\"related\"><ul><li><a href=\"genindex.html\">Index</a></li>"
         "<li><a href=\"about.html\">About</a></li></ul></div>"
         "<p class=\"caption\">Part I</p><div class=\"toctree-wrapper compound\"><ul>"
         "<li><a href=\"one.html\">One</a></li></ul></div>"
         "<p class=\"caption\">Part II</p><div class=\"toctree-wrapper compound\"><ul>"
         "<li><a href=\"two.html\">Two</a></li><li><a href=\"three.html\">Three</a></li>"
         "<li><a href=\"four.html\">Four</a></li></ul></div>");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "one.html", "two.html", "three.html",
                                     "four.html", "genindex.html", "about.html"));
}

TEST_F(ContentsOrderTest, WithoutAListOfFollowedPagesTheLinksCountInDocumentOrder) {
    Page("contents.html",
         "<p><a href=\"three.html\">Three</a>, <a href=\"one.html\">one</a> "
         "and <a href=\"two.html\">two</a>.</p>");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "three.html", "one.html", "two.html"));
    // A list of links that are not followed (another site, a missing page) is no main list.
    Page("contents.html",
         "<p><a href=\"three.html\">Three</a></p><ul>"
         "<li><a href=\"https://example.org/\">web</a></li>"
         "<li><a href=\"gone.html\">gone</a></li></ul>"
         "<p><a href=\"one.html\">One</a></p>");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "three.html", "one.html"));
}

TEST_F(ContentsOrderTest, LinksInCommentsScriptsAndTemplatesAreNotFollowed) {
    Page("contents.html",
         "<!-- <ul><li><a href=\"four.html\">old</a></li></ul> -->"
         "<script>document.write('<ul><li><a href=\"five.html\">5</a></li></ul>');</script>"
         "<noscript><p><a href=\"three.html\">Three</a></p></noscript>"
         "<template><a href=\"about.html\">About</a></template>"
         "<ul><li><a href=\"one.html\">One</a></li><li><a href=\"two.html\">Two</a></li></ul>");
    EXPECT_THAT(Order(), ElementsAre("contents.html", "one.html", "two.html", "three.html"));
}

TEST_F(ContentsOrderTest, EachPageFollowedDeeperGivesItsOwnMainListFirst) {
    Page("contents.html",
         "<ul><li><a href=\"one.html\">One</a></li>"
         "<li><a href=\"two.html\">Two</a></li></ul>");
    Page("one.html",
         "<p>Next: <a href=\"four.html\">1.2</a> Up: <a href=\"contents.html\">"
         "</a></p><ul class=\"mini-toc\"><li><a href=\"three.html\">1.1</a></li>"
         "<li><a href=\"four.html\">1.2</a></li></ul>");
    Page("two.html", "<ul><li><a href=\"five.html\">2.1</a></li></ul>");
    EXPECT_THAT(Order(2), ElementsAre("contents.html", "one.html", "two.html", "three.html",
                                      "four.html", "five.html"));
}

}  // namespace
}  // namespace quirebook
