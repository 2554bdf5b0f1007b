#include "html/ContentFilter.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

const std::string kHead = "<html><head><title>T</title></head>";

std::string Chapter(const std::string& body) {
    return kHead + "<body>" + body + "</body></html>";
}

// The body piece of a filtered page.
std::string FilteredBody(const std::string& body) {
    const std::string page = FilterChapter(Chapter(body), OptionFlags{});
    const std::size_t start = page.find("<body>") + 6;
    return page.substr(start, page.rfind("</body>") - start);
}

TEST(FilterChapter, CutsThePageIntoHeadBodyAndTail) {
    EXPECT_EQ(FilterChapter(kHead + "<body class=\"x\" onload=\"f()\"><p>a</p></body><!-- c -->"
                                    "<script>s</script></html>",
                            OptionFlags{}),
              kHead + "<body><p>a</p></body></html>");
    // Upper-case body tags are found, and the body's text is kept.
    EXPECT_EQ(FilterChapter(kHead + "<BODY BGCOLOR=white><p>a</p></BODY></HTML>", OptionFlags{}),
              kHead + "<body><p>a</p></body></html>");
    // A body that never closes runs to "</html>" or to the end.
    EXPECT_EQ(FilterChapter(kHead + "<body><p>a</p>", OptionFlags{}),
              kHead + "<body><p>a</p></body></html>");
}

TEST(FilterChapter, KeepsTheTextOfAPageWithoutBody) {
    // What follows the head is the body.
    EXPECT_EQ(FilterChapter(kHead + "<p align=center>a</p></html>\n", OptionFlags{}),
              kHead + "<body><p>a</p></body></html>");
    // Without a head end either there is nothing to cut: the text stays whole.
    const std::string fragment = "<p align=center>a</p><meta name=\"x\">";
    EXPECT_EQ(FilterChapter(fragment, OptionFlags{}), fragment);
    EXPECT_EQ(FilterChapter("", OptionFlags{}), "");
}

TEST(FilterChapter, DoesNothingWithoutPassEpubCheck) {
    OptionFlags options;
    options.PassEpubCheck = false;
    const std::string page = kHead + "<body class=x><center><font size=2>a</font></center></body>";
    EXPECT_EQ(FilterChapter(page, options), page);
    EXPECT_EQ(FilterWordHtml(page, options), page);
}

TEST(FilterChapter, RemovesPresentationalMarkup) {
    EXPECT_EQ(FilteredBody("<p align=\"center\" dir=\"RTL\">a</p><p align=center>b</p>"
                           "<table border=\"1\" bgcolor=#fff><thead><tr height=\"20%\">"
                           "<td height=30 valign=top>c</td></tr></thead><TBODY></TBODY></table>"),
              "<p dir=\"rtl\">a</p><p>b</p><table><tr><td valign=top>c</td></tr></table>");
    EXPECT_EQ(FilteredBody("<center><font face=\"x\" size=\"3\">a</font></center><b></b><i></i>"
                           "<ol start=3 type=\"a\"><li>x</li></ol><br clear=all>"),
              "a<ol><li>x</li></ol><br>");
    EXPECT_EQ(FilteredBody("<style media=x>p{}</style><img src=\"./a.png\"/><img src=\".\\b.png\" "
                           "alt=\"B\"/><img v:shapes=\"s1\" src=c.png>"),
              "<style type=\"text/css\">p{}</style><img src=\"a.png\" alt=\"\"/>"
              "<img src=\"b.png\" alt=\"B\"/><img src=c.png>");
}

TEST(FilterChapter, MakesEveryIdAnXmlNameThatItsLinksStillMeet) {
    // A name and a link to it get the same prefix, whatever the attribute order.
    EXPECT_EQ(FilteredBody("<a name=\"1intro\"></a><a class=\"x\" href=\"#1intro\">I</a>"
                           "<a id=\"2\" class=\"y\"></a><a href=\"#2\">2</a>"),
              "<a id=\"_1intro\"></a><a class=\"x\" href=\"#_1intro\">I</a>"
              "<a id=\"_2\" class=\"y\"></a><a href=\"#_2\">2</a>");
    // Spaces (all of them, not only the first) and other bytes become "_"; a link that spells
    // the space as "%20" still meets its target.
    EXPECT_EQ(FilteredBody("<h2 id=\"a b c\">A</h2><p id=\"x:y(1)\">B</p>"
                           "<a href=\"#a%20b%20c\">1</a><a href=\"#x:y(1)\">2</a>"),
              "<h2 id=\"a_b_c\">A</h2><p id=\"x_y_1_\">B</p>"
              "<a href=\"#a_b_c\">1</a><a href=\"#x_y_1_\">2</a>");
    // Links into other chapters are mapped alike; web addresses are not touched.
    EXPECT_EQ(FilteredBody("<a href=\"ch2.html#3.1\">x</a><a href=\"http://e.org/p#1\">y</a>"
                           "<a href=\"#\">z</a><a href=\"#top\">t</a>"),
              "<a href=\"ch2.html#_3.1\">x</a><a href=\"http://e.org/p#1\">y</a>"
              "<a href=\"#\">z</a><a href=\"#top\">t</a>");
    // An anchor with both name and id keeps one id, not two.
    EXPECT_EQ(FilteredBody("<a name=\"CHAPTER_I\" id=\"CHAPTER_I\"></a><a name=\"4\" id=\"4\">"),
              "<a id=\"CHAPTER_I\"></a><a id=\"_4\">");
    // Text that only looks like an attribute is not markup.
    EXPECT_EQ(FilteredBody("<p>id='1'</p>"), "<p>id='1'</p>");
}

TEST(XmlIdentifier, MapsEveryValueToAName) {
    EXPECT_EQ(XmlIdentifier("_Toc123.a-b"), "_Toc123.a-b");
    EXPECT_EQ(XmlIdentifier("9"), "_9");
    EXPECT_EQ(XmlIdentifier("-x"), "_-x");
    EXPECT_EQ(XmlIdentifier(".x"), "_.x");
    EXPECT_EQ(XmlIdentifier("#a b"), "_a_b");
    EXPECT_EQ(XmlIdentifier(""), "");
    // A mapped name maps to itself, so a page filtered twice keeps its links.
    EXPECT_EQ(XmlIdentifier(XmlIdentifier("1 a")), XmlIdentifier("1 a"));
}

TEST(MendIdentifiers, LeavesValidPagesAndBrokenTagsAlone) {
    const std::string page = "<p id=\"a\" class='b'>x</p><a href=\"y.html\">y</a>";
    EXPECT_EQ(MendIdentifiers(page), page);
    EXPECT_EQ(MendIdentifiers("<p id='1'>"), "<p id='_1'>");
    // A value whose quote never closes inside its tag, or a tag that never ends, is not changed.
    EXPECT_EQ(MendIdentifiers("<p id=\"1>x\"</p><a id=\"2"), "<p id=\"1>x\"</p><a id=\"2");
}

TEST(FilterWordHtml, AppliesTheWordRules) {
    const std::string page =
        kHead +
        "<body lang=EN-US><p align=center class=x><u>u</u> <s>s</s></p><p align=\"left\">"
        "<img width=10 height=20 src=\"./a.png\"><img src=b.png alt=\"\">"
        "<img width=\"5%\" src=c.png/></p><a name=\"_Toc1\"></a><table border=1><tbody>"
        "<tr><td height=3>t</td></tr></tbody></table></body></html>";
    EXPECT_EQ(FilterWordHtml(page, OptionFlags{}),
              kHead +
                  "<body><p class=x><span class=\"u\">u</span> <span class=\"s\">s</span></p>"
                  "<p align=\"left\"><img src=\"a.png\" alt=\"\"><img src=b.png alt=\"\">"
                  "<img src=c.png alt=\"\"/></p><a id=\"_Toc1\"></a><table><tr><td>t</td></tr>"
                  "</table></body></html>");
}

TEST(FilterWordHtml, JoinsSpacesOfIdsButNotOfTheTextAfterThem) {
    EXPECT_EQ(FilterWordHtml("<body><p id=\"my note\">Hello world <a href=\"x\">y</a></body>",
                             OptionFlags{}),
              "<body><p id=\"my_note\">Hello world <a href=\"x\">y</a></body></html>");
    EXPECT_EQ(
        FilterWordHtml("<body><div ID=\"19\">\n <p class=x>Contents</p></body>", OptionFlags{}),
        "<body><div ID=\"19\">\n <p class=x>Contents</p></body></html>");
}

TEST(AddMissingAlt, AddsAnEmptyAltToImagesWithoutOne) {
    EXPECT_EQ(AddMissingAlt("<img src=\"a.png\"/>x<IMG src=b.png alt=\"B\"/><img src=c />",
                            ImageTagForm::SelfClosed),
              "<img src=\"a.png\" alt=\"\"/>x<IMG src=b.png alt=\"B\"/><img src=c  alt=\"\"/>");
    // The self-closed walk does not see open tags; the open walk sees both kinds.
    EXPECT_EQ(AddMissingAlt("<img src=a>", ImageTagForm::SelfClosed), "<img src=a>");
    EXPECT_EQ(AddMissingAlt("<img src=a><img src=b/><p>", ImageTagForm::Open),
              "<img src=a alt=\"\"><img src=b alt=\"\"/><p>");
    EXPECT_EQ(AddMissingAlt("no images", ImageTagForm::Open), "no images");
}

TEST(ReplacePageBreaks, FollowsAllowPageBreak) {
    const std::string page =
        "a<b><span style='font-size:12pt'>\r\n<br clear=all style='page-break-before:always'>"
        "\r\n</span></b>b<span lang=EN><br style='page-break-after:auto'></span>c";
    OptionFlags options;
    EXPECT_EQ(ReplacePageBreaks(page, options), "a<div class=\"pager\"/>b<div class=\"pager\"/>c");
    options.AllowPageBreak = false;
    EXPECT_EQ(ReplacePageBreaks(page, options), "abc");
}

TEST(InsertChapterTitle, AddsATitleOnlyWhenThereIsNone) {
    EXPECT_EQ(InsertChapterTitle("<head><meta/></head><body>", "One &amp; Two"),
              "<head><meta/><title>One &amp; Two</title></head><body>");
    EXPECT_EQ(InsertChapterTitle("<head><title></title></head>", "X"),
              "<head><title></title></head>");
    EXPECT_EQ(InsertChapterTitle("<body>no head</body>", "X"), "<body>no head</body>");
}

}  // namespace
}  // namespace quirebook
