#include "css/StyleText.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(ExtractStyleBlock, TakesTheFirstBlockWithDefinitions) {
    const std::string page =
        "<head><style>p{}\r\n</style><style type=x>\r\n/* Style Definitions */\r\n"
        "p.MsoNormal{margin:0}\r\n</style></head><body>";
    EXPECT_EQ(ExtractStyleBlock(page), "\r\n/* Style Definitions */\r\np.MsoNormal{margin:0}\r");
    const StyleBlockPlace place = FindStyleBlock(page);
    ASSERT_TRUE(place.Found);
    EXPECT_EQ(page.substr(place.StyleStart - 1, 12), "<style type=");
    EXPECT_EQ(page.substr(place.CloseStart - 1, 8), "</style>");
    // Without such a block the search ends and gives nothing.
    EXPECT_EQ(ExtractStyleBlock("<style>p{}</style><style>"), "");
    EXPECT_FALSE(FindStyleBlock("<head></head>").Found);
}

TEST(ExtractBodyText, TakesTheBodysContent) {
    EXPECT_EQ(ExtractBodyText("<html><body class=\"a\"><p>x</p></body></html>"), "<p>x</p>");
    EXPECT_EQ(ExtractBodyText("<html><head></head></html>"), "");
    EXPECT_EQ(ExtractBodyText("<body><p>open</p></html>"), "<p>open</p>");
    EXPECT_EQ(ExtractBodyText("<body><p>open"), "<p>open");
}

TEST(ChangeMarkupCase, FoldsMarkupButNotQuotedValuesOrText) {
    EXPECT_EQ(ChangeMarkupCase(true, "<P CLASS=\"Chapter_One\" ID=Ab>Text A</P>"),
              "<p class=\"Chapter_One\" id=ab>Text A</p>");
    EXPECT_EQ(ChangeMarkupCase(true, "<A TITLE='It''S'>X</A>"), "<a title='It''S'>X</a>");
    // ">" ends markup even inside quotes.
    EXPECT_EQ(ChangeMarkupCase(true, "<A B=\"x>Y\" C>Z"), "<a b=\"x>Y\" C>Z");
    EXPECT_EQ(ChangeMarkupCase(false, "<p class=x>y</p>"), "<P CLASS=X>y</P>");
    // Comments and CDATA sections keep their case.
    EXPECT_EQ(ChangeMarkupCase(true, "<STYLE>/*<![CDATA[ X */<!-- P {} -->/*]]>*/</STYLE><!-- A"),
              "<style>/*<![CDATA[ X */<!-- P {} -->/*]]>*/</style><!-- A");
}

TEST(CssLookups, FindRulesAndValuesBySubstring) {
    const std::string css = "/* top */ h1{font-size:24px;} p.x{color:red} p{font-size:16px;}";
    // The bare selector "p" first finds the "p" of "top" in the comment.
    EXPECT_EQ(GetRuleBody("p", css), "font-size:24px;");
    EXPECT_EQ(GetRuleBody("p{", css), "font-size:16px;");
    EXPECT_EQ(GetRuleBody("nav", css), "");
    EXPECT_EQ(GetPropertyText("margin:0; font-size: 12px; color:red", "font-size"), ": 12px;");
    EXPECT_EQ(GetPropertyText("font-size:12px", "font-size"), ":12px");
    EXPECT_EQ(GetPropertyText("color:red", "font-size"), "");
    EXPECT_EQ(GetPropertyValue("font-size: 16px; x:y", "font-size"), "16px;");
    EXPECT_EQ(GetPropertyValue("font-family: 'Times' ;", "font-family"), "Times' ");
    EXPECT_EQ(GetPropertyValue("", "font-size"), "");
}

TEST(StyleTextForBooks, DropsCommentMarkersAndEscapesNumericClasses) {
    EXPECT_EQ(WithoutCommentMarkers("<!--\n p {} \n // -->\n"), "\n p {} \n \n");
    EXPECT_EQ(EscapeNumericClassSelectors("span.1 {margin:.5pt} p.a, .2x {x:1.5em} /* .3 */"),
              "span.\\31  {margin:.5pt} p.a, .\\32 x {x:1.5em} /* .3 */");
    EXPECT_EQ(DropBrokenDeclarations(".a{ mso-fareast-}\n.b{x:1;;y:2; ;}\n.c{;z:3}"),
              ".a{}\n.b{x:1;y:2;}\n.c{z:3}");
}

}  // namespace
}  // namespace quirebook
