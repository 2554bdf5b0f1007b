// Tests of the book path a chapter's link leads to.
#include "html/LinkTargets.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(LinkTargetsTest, RelativeLinksResolveAgainstThePagesFolder) {
    EXPECT_EQ(LinkedBookPath("ch01.html", "ch02.html#top"), "ch02.html");
    EXPECT_EQ(LinkedBookPath("guide/ch01.html", "ch02.html?x=1"), "guide/ch02.html");
    EXPECT_EQ(LinkedBookPath("guide/part/ch01.html", "../ch02.html"), "guide/ch02.html");
    EXPECT_EQ(LinkedBookPath("guide/ch01.html", "./sub/../a%20b.html"), "guide/a b.html");
    EXPECT_EQ(LinkedBookPath("ch01.html", " ch01.html "), "ch01.html");  // the page itself
}

TEST(LinkTargetsTest, LinksNamingNoFileOfTheBookGiveNothing) {
    EXPECT_EQ(LinkedBookPath("ch01.html", "#section"), "");
    EXPECT_EQ(LinkedBookPath("ch01.html", ""), "");
    EXPECT_EQ(LinkedBookPath("ch01.html", "https://example.org/ch02.html"), "");
    EXPECT_EQ(LinkedBookPath("ch01.html", "mailto:someone@example.org"), "");
    EXPECT_EQ(LinkedBookPath("ch01.html", "/ch02.html"), "");
    EXPECT_EQ(LinkedBookPath("guide/ch01.html", "../../ch02.html"), "");
    // A colon after a slash is part of a path, not a scheme.
    EXPECT_EQ(LinkedBookPath("ch01.html", "notes/a:b.html"), "notes/a:b.html");
}

}  // namespace
}  // namespace quirebook
