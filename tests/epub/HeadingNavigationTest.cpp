#include "epub/HeadingNavigation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using testing::TempFolder;

TEST(HeadingText, CleansAndCutsTheHeadingsMarkup) {
    EXPECT_EQ(HeadingText("<b>Chapter</b>\r\n\tOne&nbsp;"), "Chapter One");
    EXPECT_EQ(HeadingText("\xC2\xA0Intro\xC2\xA0"), "Intro");
    EXPECT_EQ(HeadingText("<img src=\"a.png\"/>  "), "");
    // 40 characters whose only space is at position 20: cut to the first 19.
    EXPECT_EQ(HeadingText("abcdefghijklmnopqrs tuvwxyzabcdefghijklmn"), "abcdefghijklmnopqrs");
    // A space before position 17 is not used: the text is cut at 32 bytes.
    EXPECT_EQ(HeadingText("abc defghijklmnopqrstuvwxyzabcdefghijkl"),
              "abc defghijklmnopqrstuvwxyzabcde");
}

TEST(HeadingText, NeverCutsACharacterOrAnEntityInTwo) {
    // "é" is two bytes; byte 32 would fall inside the last one.
    const std::string accented = std::string(31, 'e') + "\xC3\xA9" + "tail";
    EXPECT_EQ(HeadingText(accented), std::string(31, 'e'));
    const std::string entity = std::string(29, 'x') + "&amp;tail";
    EXPECT_EQ(HeadingText(entity), std::string(29, 'x'));
    EXPECT_EQ(HeadingText("Tom & Jerry &amp; Co"), "Tom &amp; Jerry &amp; Co");
    // The navigation document knows no HTML entities.
    EXPECT_EQ(HeadingText("Caf&eacute; &ndash; &lt;b&gt;"), "Caf\xC3\xA9 \xE2\x80\x93 &lt;b&gt;");
}

TEST(FindHeadings, NumbersTheHeadingsAndAnchorsEachInsideItsHeading) {
    std::string chapter =
        "<body><H1 class=\"t\">One</H1><p>x</p><h2>\xC2\xA0</h2><h2>Two <i>b</i></h2>"
        "<h3>Three</h4></h3></body>";
    std::vector<HeadingEntry> entries;
    FindHeadings(chapter, 4, entries);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Text, "One");
    EXPECT_EQ(entries[0].Level, 1);
    EXPECT_EQ(entries[0].Chapter, 4);
    EXPECT_EQ(entries[1].Text, "Two b");
    EXPECT_EQ(entries[1].Ordinal, 2);  // the empty heading used no number
    EXPECT_EQ(entries[2].Text, "Three");
    EXPECT_EQ(chapter,
              "<body><H1 class=\"t\"><a id=\"a1\"/>One</H1><p>x</p><h2>\xC2\xA0</h2>"
              "<h2><a id=\"a2\"/>Two <i>b</i></h2><h3><a id=\"a3\"/>Three</h4></h3></body>");
}

TEST(FindHeadings, KeepsAnchorsTheChapterAlreadyHasAndLeavesHeadinglessTextAlone) {
    std::string chapter = "<h1><a id=\"a1\"/>One</h1><h2 id='a2'>Two</h2><h2>Three</h2>";
    std::vector<HeadingEntry> entries;
    FindHeadings(chapter, 0, entries);
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(chapter,
              "<h1><a id=\"a1\"/>One</h1><h2 id='a2'>Two</h2><h2><a id=\"a3\"/>Three</h2>");

    std::string plain = "<p>no headings</p>";
    FindHeadings(plain, 1, entries);
    EXPECT_EQ(plain, "<p>no headings</p>");
    EXPECT_EQ(entries.size(), 3u);
}

TEST(FindHeadings, AnchorsNeverTakeAnIdOfThePage) {
    // The page's own "a2" and "a2_2" stay theirs: the second heading gets "a2_3", and a second
    // run (the navigation made again at publishing) finds it in its heading.
    std::string chapter =
        "<h1>One</h1><p id=\"a2\">p</p><p name='a2_2'>q</p><h2 id=\"x\">Two</h2><h2>Three</h2>"
        "<div id=a3>r</div>";
    std::vector<HeadingEntry> entries;
    FindHeadings(chapter, 0, entries);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Anchor, "a1");
    EXPECT_EQ(entries[1].Anchor, "a2_3");
    EXPECT_EQ(entries[2].Anchor, "a3_2");
    const std::string once = chapter;
    EXPECT_EQ(once,
              "<h1><a id=\"a1\"/>One</h1><p id=\"a2\">p</p><p name='a2_2'>q</p>"
              "<h2 id=\"x\"><a id=\"a2_3\"/>Two</h2><h2><a id=\"a3_2\"/>Three</h2>"
              "<div id=a3>r</div>");
    std::vector<HeadingEntry> again;
    FindHeadings(chapter, 0, again);
    EXPECT_EQ(chapter, once);
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again[1].Anchor, "a2_3");
    EXPECT_EQ(again[2].Anchor, "a3_2");
}

TEST(FindHeadings, StopsWhenTheListIsFull) {
    std::string chapter;
    for (int i = 0; i < 300; ++i) chapter += "<h2>Heading</h2>";
    std::vector<HeadingEntry> entries;
    FindHeadings(chapter, 0, entries);
    EXPECT_EQ(entries.size(), BookProject::MaximumHeadingEntries);
    EXPECT_THAT(chapter, HasSubstr("id=\"a255\""));
    EXPECT_THAT(chapter, ::testing::Not(HasSubstr("id=\"a256\"")));
}

// The navigation points of chapters whose headings have the given levels, one chapter.
std::string NavMapForLevels(const std::vector<int>& levels, BookProject& book) {
    std::string chapter = "<body>";
    for (std::size_t i = 0; i < levels.size(); ++i)
        chapter += "<h" + std::to_string(levels[i]) + ">H" + std::to_string(i + 1) + "</h" +
                   std::to_string(levels[i]) + ">";
    SaveTextFile(book.OpsFolder + "c&1.htm", chapter + "</body>");
    book.ChapterFiles = {"c&1.htm"};
    return MakeNavMapFromHeadings(book);
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(MakeNavMapFromHeadings, NestsPointsByHeadingLevel) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.ClearBookFolders();

    // h1 h2 h3 h1: three points are closed before the second h1, one at the end.
    const std::string points = NavMapForLevels({1, 2, 3, 1}, book);
    const std::size_t secondH1 = points.find("navpoint-4");
    EXPECT_EQ(Count(points.substr(0, secondH1), "</navPoint>"), 3);
    EXPECT_EQ(Count(points, "</navPoint>"), 4);
    EXPECT_THAT(points, HasSubstr("<text>H3</text>\r\n\t\t\t</navLabel>\r\n\t\t\t"
                                  "<content src=\"c&amp;1.htm#a3\"/>"));
    EXPECT_THAT(points, HasSubstr("playOrder=\"4\""));
    EXPECT_THAT(LoadTextFile(book.OpsFolder + "c&1.htm"), HasSubstr("<h1><a id=\"a4\"/>H4</h1>"));
    ASSERT_EQ(book.HeadingEntries.size(), 4u);

    // h1 then h2: the second point nests inside the first; both close at the end.
    const std::string nested = NavMapForLevels({1, 2}, book);
    EXPECT_EQ(Count(nested, "</navPoint>"), 2);
    EXPECT_LT(nested.find("navpoint-2"), nested.find("</navPoint>"));

    // Every sequence of levels gives as many closings as openings.
    const std::string mixed = NavMapForLevels({3, 1, 4, 2, 2, 6, 1, 5, 3, 2}, book);
    EXPECT_EQ(Count(mixed, "<navPoint "), Count(mixed, "</navPoint>"));
}

TEST(MakeNavMapFromHeadings, SaysSoWhenThereAreNoHeadings) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.ClearBookFolders();
    EXPECT_EQ(NavMapForLevels({}, book), "");
    EXPECT_EQ(book.BuildLog, "Auto generate TOC failed, no headings found.");
}

}  // namespace
}  // namespace quirebook
