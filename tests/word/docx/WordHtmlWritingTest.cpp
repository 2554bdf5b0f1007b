// The small rules of writing a page as Word does: lengths, text and attribute escaping, the
// class names of styles.
#include <gtest/gtest.h>

#include "word/docx/DocxStyles.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordUnits.h"

namespace quirebook {
namespace {

TEST(WordUnits, WriteLengthsAsWordDoes) {
    EXPECT_EQ(WordNumber(12), "12.0");
    EXPECT_EQ(WordNumber(0.5), ".5");
    EXPECT_EQ(WordNumber(-0.25), "-.25");
    EXPECT_EQ(WordNumber(167.4), "167.4");
    EXPECT_EQ(WordNumber(1.449), "1.45");
    EXPECT_EQ(TwipsText(0), "0in");
    EXPECT_EQ(TwipsText(1440), "1.0in");
    EXPECT_EQ(TwipsText(-360), "-.25in");
    EXPECT_EQ(TwipsText(432), ".3in");
    EXPECT_EQ(TwipsText(567), "28.35pt");  // one centimetre is no whole twentieth of an inch
    EXPECT_EQ(TwipsAsPointsText(80), "4.0pt");
    EXPECT_EQ(TwipsAsPointsText(0), "0in");
    EXPECT_EQ(HalfPointsText(21), "10.5pt");
    EXPECT_EQ(TwipsToPixels(3348), 223);
    EXPECT_EQ(EmuToPixels(952500), 100);
    EXPECT_EQ(EmuToPixels(-5), 0);
}

TEST(WordHtmlText, EscapesTextKeepsSpacesAndRepairsBrokenBytes) {
    std::string out;
    AppendText(out, "a & b <c> \"d\"\u00A0e   f\tg\n\x7Fh");
    EXPECT_EQ(out, "a &amp; b &lt;c&gt; &quot;d&quot;&nbsp;e&nbsp;&nbsp; f g h");
    out.clear();
    AppendText(out,
               "\xE2\x82\xAC ok, \xE2\x82 cut, \xF4\x90\x80\x80 too far, \xF0\x9F\x98\x80 fine");
    EXPECT_EQ(out,
              "\xE2\x82\xAC ok, \uFFFD\uFFFD cut, \uFFFD\uFFFD\uFFFD\uFFFD too far, "
              "\xF0\x9F\x98\x80 fine");
}

TEST(WordHtmlText, QuotesAttributesOnlyWhenTheyNeedIt) {
    std::string out;
    AppendAttribute(out, "class", "MsoNormal");
    AppendAttribute(out, "lang", "EN-US");
    AppendAttribute(out, "name", "_Toc1");
    AppendAttribute(out, "href", "a?b=1&c=\"2\"");
    AppendAttribute(out, "title", "");
    EXPECT_EQ(
        out,
        " class=MsoNormal lang=EN-US name=\"_Toc1\" href=\"a?b=1&amp;c=&quot;2&quot;\" title=\"\"");
}

TEST(StyleClassName, FollowsWordsNamingOfBuiltInAndCustomStyles) {
    EXPECT_EQ(StyleClassName("Normal", "Normal", false), "MsoNormal");
    EXPECT_EQ(StyleClassName("toc 1", "TOC1", false), "MsoToc1");
    EXPECT_EQ(StyleClassName("TOC Heading", "TOCHeading", false), "MsoTocHeading");
    EXPECT_EQ(StyleClassName("footnote text", "FootnoteText", false), "MsoFootnoteText");
    EXPECT_EQ(StyleClassName("Normal (Web)", "NormalWeb", false), "MsoNormalWeb");
    EXPECT_EQ(StyleClassName("annotation text", "CommentText", false), "MsoCommentText");
    EXPECT_EQ(StyleClassName("Title page info", "Titlepageinfo", true), "Titlepageinfo");
    EXPECT_EQ(StyleClassName("CODE temp", "CODEtemp", true), "CODEtemp");
    EXPECT_EQ(StyleClassName("\xE6\xA0\x87\xE9\xA2\x98", "a1", true), "a1");
}

}  // namespace
}  // namespace quirebook
