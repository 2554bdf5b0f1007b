// List labels of a Word document in its filtered web page: bullets of symbol fonts as Word
// writes them, numbers counted through levels, restarts, start values and overrides, and the
// formats of numbers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/WordStyleCleanup.h"
#include "word/docx/ListNumberFormat.h"
#include "word/docx/PageConversion.h"
#include "word/docx/SymbolGlyphs.h"

namespace quirebook {
namespace {

using testing::BodyOf;
using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using testing::kWordNamespaces;
using ::testing::Not;
using testing::Relationship;
using testing::StylesPart;
using testing::TempFolder;

std::string Level(int level, const std::string& format, const std::string& text, int start = 1,
                  const std::string& more = "") {
    return "<w:lvl w:ilvl=\"" + std::to_string(level) + "\"><w:start w:val=\"" +
           std::to_string(start) + "\"/><w:numFmt w:val=\"" + format + "\"/><w:lvlText w:val=\"" +
           text + "\"/>" + more + "</w:lvl>";
}

// Abstract list 1: Symbol and Wingdings bullets; 2: "1.", "1.a)", "III." from 3.
// Lists 1 and 2 use them; 3 restarts list 2's numbers at 5; 4 continues list 2's.
const std::string kNumbering =
    "<w:numbering " + kWordNamespaces + "><w:abstractNum w:abstractNumId=\"1\">" +
    Level(0, "bullet", "\xEF\x82\xB7", 1,
          "<w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/></w:pPr><w:rPr><w:rFonts "
          "w:ascii=\"Symbol\" "
          "w:hAnsi=\"Symbol\"/></w:rPr>") +
    Level(1, "bullet", "\xEF\x82\xA7", 1,
          "<w:pPr><w:ind w:left=\"1440\" w:hanging=\"360\"/></w:pPr><w:rPr><w:rFonts "
          "w:ascii=\"Wingdings\" "
          "w:hAnsi=\"Wingdings\"/></w:rPr>") +
    "</w:abstractNum><w:abstractNum w:abstractNumId=\"2\">" + Level(0, "decimal", "%1.") +
    Level(1, "lowerLetter", "%1.%2)") + Level(2, "upperRoman", "%3.", 3) +
    "</w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
    "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"2\"/></w:num>"
    "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"2\"/><w:lvlOverride w:ilvl=\"0\">"
    "<w:startOverride w:val=\"5\"/></w:lvlOverride></w:num>"
    "<w:num w:numId=\"4\"><w:abstractNumId w:val=\"2\"/></w:num>"
    "<w:num w:numId=\"5\"><w:abstractNumId w:val=\"99\"/></w:num></w:numbering>";

std::string Item(int list, int level, const std::string& text, const std::string& style = "") {
    return "<w:p><w:pPr>" + (style.empty() ? "" : "<w:pStyle w:val=\"" + style + "\"/>") +
           "<w:numPr><w:ilvl w:val=\"" + std::to_string(level) + "\"/><w:numId w:val=\"" +
           std::to_string(list) + "\"/></w:numPr></w:pPr><w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

std::string ConvertList(const std::string& body, const std::string& styles = StylesPart("")) {
    const TempFolder folder;
    return ConvertParts(
               folder,
               DocumentParts(body,
                             Relationship("rIdNumbering", "numbering", "numbering.xml") +
                                 Relationship("rIdStyles", "styles", "styles.xml"),
                             {{"word/numbering.xml", kNumbering}, {"word/styles.xml", styles}}))
        .Html;
}

// The label of each paragraph: the text between its start tag and the first spacer span.
std::vector<std::string> Labels(const std::string& html) {
    std::vector<std::string> labels;
    const std::string spacer = "<span style='font:7.0pt";
    for (std::size_t at = html.find("<p class="); at != std::string::npos;
         at = html.find("<p class=", at + 1)) {
        const std::size_t start = html.find('>', at) + 1;
        const std::size_t end = html.find(spacer, start);
        const std::size_t close = html.find("</p>", start);
        labels.push_back(end < close ? html.substr(start, end - start) : "");
    }
    return labels;
}

TEST(ListLabels, OfSymbolFontsAreTheCharactersWordWritesAndTheCleanerMaps) {
    std::string body = BodyOf(ConvertList(Item(1, 0, "Round") + Item(1, 1, "Square")));
    EXPECT_THAT(
        body,
        HasSubstr("<p class=MsoNormal style='margin-left:.5in;text-indent:-.25in'><span "
                  "style='font-family:Symbol'>\u00B7<span style='font:7.0pt \"Times New "
                  "Roman\"'>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp; </span></span>Round</p>"));
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal style='margin-left:1.0in;text-indent:-.25in'><span "
                          "style='font-family:Wingdings'>\u00A7<span style='font:7.0pt"));
    MapWingdingsBullets(body);
    MapSymbolBullets(body);
    EXPECT_THAT(body, HasSubstr("<span >\u2022<span style='font:7.0pt"));
    EXPECT_THAT(body, HasSubstr("<span >\u25AA<span style='font:7.0pt"));
}

TEST(ListLabels, CountThroughLevelsRestartingDeeperOnes) {
    const std::string html =
        ConvertList(Item(2, 0, "a") + Item(2, 1, "b") + Item(2, 1, "c") + Item(2, 0, "d") +
                    Item(2, 1, "e") + Item(2, 2, "f") + Item(2, 2, "g"));
    EXPECT_EQ(Labels(BodyOf(html)),
              (std::vector<std::string>{"1.", "1.a)", "1.b)", "2.", "2.a)", "III.", "IV."}));
}

TEST(ListLabels, RestartWhereAListOverridesItsStartAndContinueInListsSharingTheirLevels) {
    const std::string html = ConvertList(
        Item(2, 0, "a") + Item(2, 0, "b") + Item(3, 0, "c") + Item(3, 0, "d") + Item(4, 0, "e") +
        Item(5, 0, "no levels") + Item(77, 0, "no list") + Item(0, 0, "numbering removed"));
    EXPECT_EQ(Labels(BodyOf(html)),
              (std::vector<std::string>{"1.", "2.", "5.", "6.", "7.", "", "", ""}));
}

TEST(ListLabels, NumberHeadingsWhoseStyleIsListed) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:pPr>"
        "<w:numPr><w:numId w:val=\"2\"/></w:numPr></w:pPr></w:style>");
    const std::string html = ConvertList(
        "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:bookmarkStart w:id=\"1\" "
        "w:name=\"_Toc1\"/>"
        "<w:r><w:t>Introduction</w:t></w:r><w:bookmarkEnd w:id=\"1\"/></w:p>",
        styles);
    // The label stands inside the heading's bookmark, as Word writes it.
    EXPECT_THAT(BodyOf(html), HasSubstr("<h1><a name=\"_Toc1\">1.<span style='font:7.0pt"));
    EXPECT_THAT(BodyOf(html), HasSubstr("</span>Introduction</a></h1>"));
}

TEST(ListNumberFormat, WritesWordsFormatsAndDecimalForTheRest) {
    EXPECT_EQ(FormatListNumber(4, "decimal"), "4");
    EXPECT_EQ(FormatListNumber(7, "decimalZero"), "07");
    EXPECT_EQ(FormatListNumber(1994, "upperRoman"), "MCMXCIV");
    EXPECT_EQ(FormatListNumber(4, "lowerRoman"), "iv");
    EXPECT_EQ(FormatListNumber(28, "lowerLetter"), "bb");
    EXPECT_EQ(FormatListNumber(26, "upperLetter"), "Z");
    EXPECT_EQ(FormatListNumber(12, "ordinal"), "12th");
    EXPECT_EQ(FormatListNumber(22, "ordinal"), "22nd");
    EXPECT_EQ(FormatListNumber(0, "upperRoman"), "0");
    EXPECT_EQ(FormatListNumber(5000, "lowerRoman"), "5000");
    EXPECT_EQ(FormatListNumber(3, "chineseCounting"), "3");
    EXPECT_EQ(FormatListNumber(3, "none"), "");
}

TEST(SymbolGlyphs, StandForTheLatin1CharactersWordWrites) {
    EXPECT_EQ(SymbolGlyphText("\xEF\x82\xB7 and \xEF\x82\xA7"), "\u00B7 and \u00A7");
    EXPECT_EQ(SymbolGlyphText("plain \u00E9\xEF\x80\x80"), "plain \u00E9\xEF\x80\x80");
    EXPECT_EQ(SymbolCharacter("F0E0"), "\u00E0");
    EXPECT_EQ(SymbolCharacter("2022"), "\u2022");
    EXPECT_EQ(SymbolCharacter("D800"), "\uFFFD");
    EXPECT_EQ(SymbolCharacter("nope"), "");
}

}  // namespace
}  // namespace quirebook
