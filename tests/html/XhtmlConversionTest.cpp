#include "html/XhtmlConversion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "css/StyleText.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(QuoteAttributeValues, QuotesUnquotedValuesOnly) {
    EXPECT_EQ(QuoteAttributeValues("<p align=center>"), "<p align=\"center\">");
    EXPECT_EQ(QuoteAttributeValues("<td width=50% class=x>"), "<td width=\"50%\" class=\"x\">");
    EXPECT_EQ(QuoteAttributeValues("<a href=x/y>"), "<a href=\"x/y\">");
    EXPECT_EQ(QuoteAttributeValues("<link href=css/a.css/>"), "<link href=\"css/a.css\"/>");
    EXPECT_EQ(QuoteAttributeValues("<a title='a=b c' href=\"q=1\">x=y</a>"),
              "<a title='a=b c' href=\"q=1\">x=y</a>");
    EXPECT_EQ(QuoteAttributeValues("<br clear=all/>"), "<br clear=\"all\"/>");
    // An "=" in running text is no attribute of the tag after it.
    EXPECT_EQ(QuoteAttributeValues("<code>LANG=</code> x =<b>y</b>"),
              "<code>LANG=</code> x =<b>y</b>");
    // A value left open by a stray quote does not leak into the next tag.
    EXPECT_EQ(QuoteAttributeValues("<a b=x\"y><p>t</p>"), "<a b=\"x\"y><p>t</p>");
}

TEST(CloseVoidElements, ClosesLowerCaseVoidElements) {
    EXPECT_EQ(CloseVoidElements("<hr><hr /><HR><br class=\"x\"><img src=\"a\"><p>x</p>"),
              "<hr/><hr /><HR><br class=\"x\"/><img src=\"a\"/><p>x</p>");
    EXPECT_EQ(CloseVoidElements("<br\nclass=x><base>"), "<br\nclass=x><base/>");
}

TEST(CloseVoidElements, StopsAtAnUnterminatedTag) {
    std::size_t at = 99;
    EXPECT_EQ(CloseVoidElements("<br>a < b", &at), "<br/>a < b");
    EXPECT_EQ(at, 7u);
    EXPECT_EQ(CloseVoidElements("a < b <hr>", &at), "a < b <hr>");  // "< b <hr>" is one tag
    EXPECT_EQ(at, 0u);
}

TEST(WriteXhtmlHeader, ReplacesWhatStandsBeforeTheHead) {
    const std::string page = "<!DOCTYPE html><html lang=en><head><title>t</title></head>";
    const std::string english = WriteXhtmlHeader(page, "en");
    EXPECT_THAT(english, StartsWith("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
                                    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"\r\n"
                                    " \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
                                    "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n\r\n<head>"));
    EXPECT_THAT(english, ::testing::Not(HasSubstr("lang=en")));
    EXPECT_THAT(WriteXhtmlHeader(page, ""), HasSubstr("xhtml\">"));
    EXPECT_THAT(WriteXhtmlHeader(page, "fr"), HasSubstr("xhtml\" xml:lang=\"fr\">\r\n"));
    // A head with attributes is found too; a page without a head gets an empty one.
    EXPECT_THAT(WriteXhtmlHeader("<HTML><HEAD profile=\"x\"><title>t</title>", "en"),
                HasSubstr("\r\n\r\n<HEAD profile"));
    const std::string headless = WriteXhtmlHeader("<!-- c --><html><body>x</body></html>", "en");
    EXPECT_THAT(headless, HasSubstr("\r\n\r\n<head></head>\r\n<body>x</body></html>"));
}

TEST(SpanCleanups, UnwrapPlainAndImageSpans) {
    EXPECT_EQ(UnwrapPlainSpans("<span>a</span>"), "a");
    EXPECT_EQ(UnwrapPlainSpans("<span><span class=x>a</span></span>"), "<span class=x>a</span>");
    EXPECT_EQ(UnwrapPlainSpans("<span><b>a</b><span>b<i>c</i></span></span>!"),
              "<b>a</b>b<i>c</i>!");
    EXPECT_EQ(UnwrapPlainSpans("<span><b>open"), "<b>open");
    EXPECT_EQ(UnwrapPlainSpans("<SPAN><b>kept</b></SPAN>"), "<SPAN><b>kept</b></SPAN>");
    EXPECT_EQ(UnwrapPlainSpans("a</span><span><span class=x>b</span>c</span></span>"),
              "a</span><span class=x>b</span>c</span>");
    EXPECT_EQ(UnwrapImageSpans("<span class=x><img src=\"a.png\"/></span>"),
              "<img src=\"a.png\"/>");
    EXPECT_EQ(UnwrapImageSpans("<span class=x>a<img src=\"a.png\"/></span>"),
              "<span class=x>a<img src=\"a.png\"/></span>");
}

TEST(UnwrapPlainSpans, AnyDepthOfNestingTakesTimeInProportionToTheText) {
    // 200,000 levels, bare spans around attributed ones: the bare ones go with their closing
    // tags, the others stay paired. Time that grew with the square of the depth would take
    // many minutes here and run into the test's time limit.
    constexpr int kDepth = 200000;
    std::string page;
    std::string expected;
    for (int i = 0; i < kDepth; ++i) page += i % 2 == 0 ? "<span>" : "<span class=x>";
    for (int i = 0; i < kDepth / 2; ++i) expected += "<span class=x>";
    page += "<b>x</b>";
    expected += "<b>x</b>";
    for (int i = 0; i < kDepth; ++i) page += "</span>";
    for (int i = 0; i < kDepth / 2; ++i) expected += "</span>";
    EXPECT_EQ(UnwrapPlainSpans(page), expected);
}

TEST(NamedEntitiesFromNumeric, MapsWindows1252References) {
    EXPECT_EQ(NamedEntitiesFromNumeric("a&#150;b&#129;c&#100;d&#200;e&#169;&#133;&#142;"),
              "a&ndash;bc&#100;d&#200;e&copy;&hellip;&#x17D;");
    EXPECT_EQ(EntityTable(160), "&nbsp;");
    EXPECT_EQ(EntityTable(199), "&Ccedil;");
    EXPECT_EQ(EntityTable(255), "&yuml;");
    EXPECT_EQ(EntityTable(127), "");
}

}  // namespace
}  // namespace quirebook
