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

TEST(MapWingdingsBullets, GivesTheCharactersTheFontDraws) {
    std::string text = "<span style='font-family:Wingdings'>l</span>text";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >\u25CF</span>text");

    // The declaration among others stays as an empty declaration; an entity after the glyph
    // stays as it is.
    text = "<span style='color:red;font-family:Wingdings'>v&nbsp;</span>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span style='color:red;'>\u2756&nbsp;</span>");

    // Codes above 127 as two-byte characters: the square, arrowhead and check mark bullets.
    text =
        "<span style='font-family:Wingdings'>\xC2\xA7<span>x</span></span>"
        "<b style='font-family:Wingdings'>\xC3\x98</b>"
        "<i style='font-family:Wingdings'>\xC3\xBC</i>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >\u25AA<span>x</span></span><b >\u27A2</b><i >\u2713</i>");

    // The whole text up to the next tag is in the font; a code the table does not know stays.
    text = "<span style='font-family:Wingdings'>ln\xC2\xA8</span>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >\u25CF\u25A0\u25FB</span>");
    text = "<span style='font-family:Wingdings'>a\xE2\x80\xA2</span>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >a\xE2\x80\xA2</span>");
}

TEST(MapWingdingsBullets, TakesOnlyTheFontFamilyItselfAndEndsWhenNoTagEndFollows) {
    // Another property ending in "font-family" names the font of other text.
    std::string text = "<span style='mso-bidi-font-family:Wingdings'>lo</span>";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span style='mso-bidi-'>lo</span>");
    // A declaration with no ">" after it once made the walk start again from the beginning.
    text = "<span style='font-family:Wingdings'>l</span> font-family:Wingdings";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >\u25CF</span> ");
    text = "l<p style='font-family:Wingdings";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "l<p style='");
    // Text at the very end of the page, with no tag after it, stays.
    text = "<span style='font-family:Wingdings'>l";
    MapWingdingsBullets(text);
    EXPECT_EQ(text, "<span >l");
}

TEST(MapSymbolBullets, GivesTheBulletGreekLettersAndSigns) {
    std::string text =
        "<span style='font-family:Symbol'>\xC2\xA8</span>"
        "<span style='font-family:Symbol'>\xC2\xB7<span style='font:7.0pt'>&nbsp; </span></span>"
        "<span style='font-family:Symbol'>a + b \xC2\xA3 p</span>";
    MapSymbolBullets(text);
    EXPECT_EQ(text,
              "<span >\u2666</span><span >\u2022<span style='font:7.0pt'>&nbsp; </span></span>"
              "<span >\u03B1 + \u03B2 \u2264 \u03C0</span>");

    // A page Word saves unfiltered writes the bullet inside a span of its own, and may wrap the
    // tag between the property and the font's name; a span that names another font holds text
    // of that font.
    text =
        "<span style='font-family:\r\nSymbol;\r\nmso-fareast-font-family:Symbol'><span "
        "style='mso-list:Ignore'>\xC2\xB7<span style='font:7.0pt \"Times New Roman\"'>&nbsp; "
        "</span></span></span><span style='font-family:Symbol'><span "
        "style='font-family:Arial'>a</span></span>";
    MapSymbolBullets(text);
    EXPECT_EQ(text,
              "<span style=';\r\nmso-fareast-'><span style='mso-list:Ignore'>"
              "\u2022<span style='font:7.0pt \"Times New Roman\"'>&nbsp; </span></span></span>"
              "<span ><span style='font-family:Arial'>a</span></span>");
}

TEST(StripInlineFormatting, RemovesSpansFontsAndStyleAttributes) {
    std::string text =
        "<p style='color:red'><SPAN lang=EN>a</Span> <font face=x>b</FONT></p>"
        "<td style=\"width:1px\">c</td><h1 style=x align=center>d</h1><p style=''>e</p>";
    StripInlineFormatting(text);
    // An unquoted style takes the rest of its tag with it; an empty one is left.
    EXPECT_EQ(text, "<p>a b</p><td>c</td><h1>d</h1><p>e</p>");
}

TEST(StripInlineFormatting, KeepsTheDirectionOfSpansAlone) {
    std::string text =
        "<p dir=RTL><span lang=FA dir=RTL style='x'>الف</span> <SPAN class=y DIR=\"ltr\"><span "
        "lang=EN>printf(x);</span></SPAN> <span\tdir='LTR'>a</span><span>b</span></p></span>"
        "<spanner>c</spanner><span dir=up>d</span>";
    StripInlineFormatting(text);
    // Spans pair with their ends as they nest; a stray end goes; other tags stay.
    EXPECT_EQ(text,
              "<p dir=RTL><span dir=\"rtl\">الف</span> <span "
              "dir=\"ltr\">printf(x);</span> <span dir=\"ltr\">a</span>b</p>"
              "<spanner>c</spanner>d");
}

}  // namespace
}  // namespace quirebook
