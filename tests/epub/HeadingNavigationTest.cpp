// Tests of the navigation points written from a book's table of contents.
#include "epub/HeadingNavigation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::HasSubstr;

std::vector<NavigationEntry> EntriesAtLevels(const std::vector<int>& levels) {
    std::vector<NavigationEntry> entries;
    for (std::size_t i = 0; i < levels.size(); ++i)
        entries.push_back({"H" + std::to_string(i + 1), levels[i], "c.htm#a" + std::to_string(i)});
    return entries;
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The levels the points of `points` stand at, read back from their nesting.
std::vector<int> NestingOf(const std::string& points) {
    std::vector<int> levels;
    int depth = 0;
    for (std::size_t at = 0; at < points.size(); ++at) {
        if (points.compare(at, 10, "<navPoint ") == 0) levels.push_back(++depth);
        if (points.compare(at, 11, "</navPoint>") == 0) --depth;
    }
    EXPECT_EQ(depth, 0);
    return levels;
}

TEST(NcxNavPoints, NestsEachEntryAtItsLevel) {
    // The second level-1 entry closes the three points before it.
    const std::string points = NcxNavPoints(EntriesAtLevels({1, 2, 3, 1}));
    EXPECT_EQ(Count(points.substr(0, points.find("navpoint-4")), "</navPoint>"), 3);
    EXPECT_EQ(NestingOf(points), (std::vector<int>{1, 2, 3, 1}));
    EXPECT_THAT(points, HasSubstr("<text>H3</text>\r\n\t\t\t</navLabel>\r\n\t\t\t"
                                  "<content src=\"c.htm#a2\"/>"));
    EXPECT_THAT(points, HasSubstr("playOrder=\"4\""));
    // Going back two levels at once closes both, so the entry stands beside its own level.
    EXPECT_EQ(NestingOf(NcxNavPoints(EntriesAtLevels({1, 2, 3, 4, 2, 3, 1, 2}))),
              (std::vector<int>{1, 2, 3, 4, 2, 3, 1, 2}));
    // A jump of two levels nests one level deeper; a list that starts deep stands at the top.
    EXPECT_EQ(NestingOf(NcxNavPoints(EntriesAtLevels({1, 3, 3, 2}))),
              (std::vector<int>{1, 2, 2, 2}));
    EXPECT_EQ(NestingOf(NcxNavPoints(EntriesAtLevels({2, 1}))), (std::vector<int>{1, 1}));
    EXPECT_EQ(NcxNavPoints({}), "");
}

TEST(NcxNavPoints, PointsLeadingToOnePlaceShareTheirPlayOrder) {
    const std::string points = NcxNavPoints({{"Chapter", 1, "c.htm"},
                                             {"Heading without an anchor", 2, "c.htm"},
                                             {"Section", 2, "c.htm#s"},
                                             {"Next", 1, "d.htm"}});
    EXPECT_THAT(points, HasSubstr("navpoint-1\" playOrder=\"1\""));
    EXPECT_THAT(points, HasSubstr("navpoint-2\" playOrder=\"1\""));
    EXPECT_THAT(points, HasSubstr("navpoint-3\" playOrder=\"2\""));
    EXPECT_THAT(points, HasSubstr("navpoint-4\" playOrder=\"3\""));
}

TEST(NcxNavList, ListsItsTargetsWithThePlayOrderOfTheMap) {
    PlayOrder order;
    const std::string map =
        NcxNavPoints({{"Chapter", 1, "c.htm"}, {"Section", 2, "c.htm#s"}}, order);
    const std::string list = NcxNavList("lot", "List of Tables",
                                        {{"Sizes", 1, "c.htm#s"}, {"Winds", 1, "d.htm#t"}}, order);
    EXPECT_THAT(list, HasSubstr("<navList id=\"lot\" class=\"lot\">\r\n\t<navLabel>\r\n\t\t"
                                "<text>List of Tables</text>"));
    // A target where a point leads shares its number; a new place takes the next.
    EXPECT_THAT(list, HasSubstr("<navTarget id=\"lot-1\" playOrder=\"2\">"));
    EXPECT_THAT(list, HasSubstr("<navTarget id=\"lot-2\" playOrder=\"3\">"));
    EXPECT_THAT(list, HasSubstr("<content src=\"d.htm#t\"/>"));
    EXPECT_EQ(NcxNavList("loi", "List of Figures", {}, order), "");
}

TEST(HeadingNavigation, LeadsEachEntryToItsChapterAndAnchor) {
    BookProject book({"/app", "/user"}, "/work");
    book.ChapterFiles = {"a&b.htm", "two.htm"};
    book.HeadingEntries = {{"A", 1, 0, 0, ""},
                           {"Sec", 2, 0, 1, "a1"},
                           {"Two", 1, 1, 0, ""},
                           {"Gone", 1, 5, 0, ""},
                           {"Table", 1, 1, 1, "t1", NavigationList::Tables}};
    const std::vector<NavigationEntry> entries = HeadingNavigation(book);
    EXPECT_EQ(HeadingNavigation(book, NavigationList::Tables).at(0).Href, "two.htm#t1");
    ASSERT_EQ(entries.size(), 3u);  // an entry of a chapter the book lost is left out
    EXPECT_EQ(entries[0].Href, "a&amp;b.htm");
    EXPECT_EQ(entries[1].Href, "a&amp;b.htm#a1");
    EXPECT_EQ(entries[1].Level, 2);
    EXPECT_EQ(entries[2].Href, "two.htm");
}

}  // namespace
}  // namespace quirebook
