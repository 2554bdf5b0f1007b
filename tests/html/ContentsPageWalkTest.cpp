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

TEST(PageLinksTest, AnchorsAndAreasInOrderWithEscapesUndone) {
    EXPECT_THAT(
        PageLinks("<link rel=stylesheet href=s.css><A HREF=\"one.html\">1</A>"
                  "<!-- <a href=\"old.html\"> --><abbr href=x.html>"
                  "<a class='x' href='two.html#part'>2</a><area shape=rect href=three.html>"
                  "<a\nhref = \"q.html?a=1&amp;b=2\">"
                  "<a name=\"top\"><a data-href=\"no.html\" href=\"yes.html\">"),
        ElementsAre("one.html", "two.html#part", "three.html", "q.html?a=1&b=2", "yes.html"));
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

}  // namespace
}  // namespace quirebook
