#include "word/WordStyleCleanup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A page whose body uses the classes named in `body`.
std::string Page(const std::string& body) {
    return "<html><head></head><body lang=EN>" + body + "</body></html>";
}

TEST(CleanWordStyleSheet, KeepsOnlyTheRulesABookNeeds) {
    std::string definitions =
        "\n<!--\n /* Font Definitions */\n @font-face\n\t{font-family:Wingdings;}\n"
        " /* Style Definitions */\n p.MsoNormal, li.MsoNormal, div.MsoNormal\n\t{margin:0cm;\n"
        "\tfont-size:12.0pt;}\nh1\n\t{font-size:20.0pt;}\np\n\t{margin-right:0cm;}\n"
        "p.MsoTitle, li.MsoTitle, div.MsoTitle\n\t{margin-top:1pt;margin-right:2pt;"
        "margin-bottom:3pt;margin-left:4pt;}\n"
        "p.Unused, li.Unused, div.Unused\n\t{color:red;}\n"
        "@page WordSection1\n\t{size:595.3pt 841.9pt;}\ndiv.WordSection1\n\t{page:WordSection1;}\n"
        "-->\n";
    CleanWordStyleSheet(Page("<p class=MsoTitle>T</p>"), definitions);
    // The comment's start stays, for the rebuilt style element to remove.
    EXPECT_EQ(
        definitions,
        "\n<!--\n /* MS Word Definitions */\n p, li, div\n\t{margin:0cm;\n\tfont-size:12.0pt;}\n"
        "h1\n\t{font-size:20.0pt;}\n"
        "p.MsoTitle, li.MsoTitle, div.MsoTitle\n\t{margin:1pt 2pt 3pt 4pt;}\n\n\n\n");

    // Page and list definitions go whole, with everything after them.
    std::string paged = "h2\n\t{color:blue;}\n/* Page Definitions */\n@list l0\n\t{x:y;}\nh3{}";
    CleanWordStyleSheet(Page(""), paged);
    EXPECT_EQ(paged, "h2\n\t{color:blue;}\n");
}

TEST(DropUnusedClassRules, RemovesRulesOfClassesTheBodyNeverNames) {
    const std::string rules =
        "/* x */\np.Used, li.Used\n\t{color:red;}\np.Gone, li.Gone\n\t{color:blue;}\n"
        "span.Part\n\t{color:green;}\nh1\n\t{color:black;}";
    std::string definitions = rules;
    DropUnusedClassRules(definitions, "<p class=Used>a</p><span class=Partial>b</span>");
    // From the line feed before the selector to the "}"; a name inside a longer word is used.
    EXPECT_EQ(definitions,
              "/* x */\np.Used, li.Used\n\t{color:red;}\n"
              "span.Part\n\t{color:green;}\nh1\n\t{color:black;}");

    // The search is case-sensitive.
    definitions = rules;
    DropUnusedClassRules(definitions, "class=used class=gone class=part");
    EXPECT_EQ(definitions, "/* x */\nh1\n\t{color:black;}");

    // Without any class rule, or with a rule that never closes, the text stays.
    definitions = "h1{color:black}";
    DropUnusedClassRules(definitions, "");
    EXPECT_EQ(definitions, "h1{color:black}");
    definitions = "a{}\np.Gone\n\t{color:blue;";
    DropUnusedClassRules(definitions, "");
    EXPECT_EQ(definitions, "a{}\np.Gone\n\t{color:blue;");
}

TEST(MapWingdingsBullets, ReplacesGlyphLettersAndPairs) {
    std::string text = "<span style='font-family:Wingdings'>l</span>text";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >&bull;</span>text");

    // The declaration among others stays as an empty declaration; the glyph is mapped when an
    // entity follows it too.
    text = "<span style='color:red;font-family:Wingdings'>v&nbsp;</span>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span style='color:red;'>&clubs;&nbsp;</span>");

    // Two-byte glyphs.
    text =
        "<span style='font-family:Wingdings'>\xC2\xA7<span>x</span></span>"
        "<b style='font-family:Wingdings'>\xC3\x98</b>"
        "<i style='font-family:Wingdings'>\xC3\xBC</i>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >&bull;<span>x</span></span><b >&rsaquo;</b><i >V</i>");

    // A letter followed by another letter is text, and other letters are never glyphs.
    text = "<span style='font-family:Wingdings'>lo</span><span style='font-family:Wingdings'>a<";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >lo</span><span >a<");

    // Symbol's glyph C2 A8 is not one of Wingdings'.
    text = "<span style='font-family:Wingdings'>\xC2\xA8</span>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >\xC2\xA8</span>");
}

TEST(MapWingdingsBullets, EndsWhenNoTagEndFollowsTheDeclaration) {
    // A declaration with no ">" after it once made the walk start again from the beginning.
    std::string text = "<span style='font-family:Wingdings'>l</span> font-family:Wingdings";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >&bull;</span> ");
    text = "l<p style='font-family:Wingdings";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "l<p style='");
    // A glyph at the very end of the text, with nothing after it, stays.
    text = "<span style='font-family:Wingdings'>l";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >l");
}

TEST(MapSymbolBullets, ReplacesPairsOnly) {
    std::string text =
        "<span style='font-family:Symbol'>\xC2\xA8</span>"
        "<span style='font-family:Symbol'>\xC2\xB7<br></span>"
        "<span style='font-family:Symbol'>l</span>";
    MapSymbolBullets(text);
    EXPECT_EQ(text, "<span >&diams;</span><span >\xC2\xB7<br></span><span >l</span>");
}

TEST(StripInlineFormatting, RemovesSpansFontsAndStyleAttributes) {
    std::string text =
        "<p style='color:red'><SPAN lang=EN>a</Span> <font face=x>b</FONT></p>"
        "<td style=\"width:1px\">c</td><h1 style=x align=center>d</h1><p style=''>e</p>";
    StripInlineFormatting(text);
    // An unquoted style takes the rest of its tag with it; an empty one is left.
    EXPECT_EQ(text, "<p>a b</p><td>c</td><h1>d</h1><p>e</p>");
}

}  // namespace
}  // namespace quirebook
