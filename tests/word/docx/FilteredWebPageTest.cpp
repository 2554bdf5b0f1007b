// The filtered web page of small Word documents: Word's head and style sheet, paragraphs and
// runs with their markup, sections and page breaks, tracked changes and wrappers, text boxes.
#include "word/docx/FilteredWebPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingUserInterface.h"
#include "app/WordImport.h"
#include "book/BookProject.h"
#include "css/StyleText.h"
#include "text/TextFiles.h"
#include "word/ChapterSplit.h"
#include "word/WordHtmlCleaner.h"
#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

using testing::BodyOf;
using testing::ConvertBody;
using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::Paragraph;
using testing::Relationship;
using testing::StylesPart;
using testing::TempFolder;
using testing::TextRun;

std::string Style(const std::string& type, const std::string& id, const std::string& name,
                  const std::string& inside, bool custom = false) {
    return "<w:style w:type=\"" + type + "\" w:styleId=\"" + id + "\"" +
           (custom ? " w:customStyle=\"1\"" : "") + "><w:name w:val=\"" + name + "\"/>" + inside +
           "</w:style>";
}

const std::string kStylesRelationship = Relationship("rIdStyles", "styles", "styles.xml");

TEST(FilteredWebPageHead, IsTheHeadWordWritesAndPassesTheWordPageCheck) {
    const TempFolder folder;
    const auto parts = DocumentParts(
        Paragraph(TextRun("Text")), "",
        {{"docProps/core.xml",
          "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
          "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Kites &amp; "
          "Co</dc:title></cp:coreProperties>"}});
    const std::string html = ConvertParts(folder, parts).Html;
    const std::string charset =
        "<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">";
    const std::string generator = "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">";
    EXPECT_LT(html.find(charset) + charset.size(), 255u);
    EXPECT_LT(html.find(generator) + generator.size(), 255u);
    EXPECT_THAT(html, HasSubstr("<title>Kites &amp; Co</title>"));
    for (const char* comment : {"/* Font Definitions */", "/* Style Definitions */",
                                "/* Page Definitions */", "/* List Definitions */"})
        EXPECT_THAT(html, HasSubstr(comment));
    EXPECT_THAT(html,
                HasSubstr("<body lang=EN-US link=blue vlink=purple style='word-wrap:break-word'>"));

    // Word's line ends, and the checks the Word import makes of a page.
    const std::string raw = LoadTextFile(folder / "page.htm");
    EXPECT_THAT(raw, HasSubstr("</html>\r\n"));
    testing::RecordingUserInterface ui;
    EXPECT_TRUE(CheckWordHtmlFile(folder / "page.htm", ui))
        << ::testing::PrintToString(ui.Messages);
    EXPECT_TRUE(CleanWordHtml(raw, OptionFlags{}).has_value());
}

TEST(FilteredWebPageHead, TheBodyIsInTheDocumentsLanguageThatOfRightToLeftTextWhenItReadsSo) {
    const TempFolder folder;
    const std::string defaults =
        "<w:docDefaults><w:rPrDefault><w:rPr><w:lang w:val=\"en-US\" w:bidi=\"fa-IR\"/>"
        "</w:rPr></w:rPrDefault></w:docDefaults>";
    const std::string styles = StylesPart("", defaults);
    const std::string relationship = Relationship("rS", "styles", "styles.xml");
    const std::string leftToRight =
        ConvertParts(folder, DocumentParts(Paragraph(TextRun("Text")), relationship,
                                           {{"word/styles.xml", styles}}))
            .Html;
    EXPECT_THAT(leftToRight, HasSubstr("<body lang=EN-US "));
    const std::string rightToLeft =
        ConvertParts(
            folder,
            DocumentParts(Paragraph(TextRun("\xD9\x85\xD8\xAA\xD9\x86", "<w:rtl/>"), "<w:bidi/>") +
                              "<w:sectPr><w:bidi/></w:sectPr>",
                          relationship, {{"word/styles.xml", styles}}))
            .Html;
    EXPECT_THAT(rightToLeft, HasSubstr("<body lang=FA-IR dir=RTL "));
    // Right-to-left text in the page's language carries no language of its own.
    EXPECT_THAT(rightToLeft, Not(HasSubstr("<span lang=FA-IR")));
}

TEST(FilteredWebPageRuns, WearWordsMarkupInWordsOrder) {
    const std::string body = BodyOf(ConvertBody(Paragraph(
        TextRun("Plain ") + TextRun("bold", "<w:b/>") + TextRun(" ") +
        TextRun("both", "<w:b/><w:i/>") + TextRun("under", "<w:u w:val=\"single\"/>") +
        TextRun("gone", "<w:strike/>") + TextRun("2", "<w:vertAlign w:val=\"superscript\"/>") +
        TextRun("big", "<w:sz w:val=\"28\"/>") + TextRun("red", "<w:color w:val=\"FF0000\"/>") +
        TextRun("lit", "<w:highlight w:val=\"yellow\"/>") + TextRun("Small", "<w:smallCaps/>") +
        TextRun("caps", "<w:caps/>") + TextRun("Bonjour", "<w:lang w:val=\"fr-FR\"/>") +
        TextRun("all",
                "<w:b/><w:u w:val=\"single\"/><w:sz w:val=\"24\"/><w:vertAlign "
                "w:val=\"subscript\"/>"))));
    EXPECT_THAT(
        body,
        HasSubstr("<p class=MsoNormal>Plain <b>bold</b> <b><i>both</i></b><u>under</u>"
                  "<s>gone</s><sup>2</sup><span style='font-size:14.0pt'>big</span>"
                  "<span style='color:red'>red</span><span style='background:yellow'>lit</span>"
                  "<span style='font-variant:small-caps'>Small</span>"
                  "<span style='text-transform:uppercase'>caps</span>"
                  "<span lang=FR-FR>Bonjour</span>"
                  "<b><u><span style='font-size:12.0pt'><sub>all</sub></span></u></b></p>"));
}

TEST(FilteredWebPageRuns, ShareTheMarkupOfOneFormattingAndEscapeTheirText) {
    const std::string body = BodyOf(ConvertBody(Paragraph(
        TextRun("Stati", "<w:sz w:val=\"28\"/>") + TextRun("c", "<w:sz w:val=\"28\"/>") +
        TextRun(" Tom &amp; \"Jerry\" &lt;3\u00A0x  y") +
        "<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t><w:softHyphen/>"
        "<w:lastRenderedPageBreak/><w:sym w:font=\"Wingdings\" w:char=\"F0E0\"/></w:r>")));
    EXPECT_THAT(body, HasSubstr("<span style='font-size:14.0pt'>Static</span> Tom &amp; "
                                "&quot;Jerry&quot; &lt;3&nbsp;x&nbsp; ya&nbsp;"));
    EXPECT_THAT(body,
                HasSubstr("&nbsp; b<br>c<span style='font-family:Wingdings'>\u00E0</span></p>"));
}

TEST(FilteredWebPageRuns, DeclareStyledLinesAndTheGenericFamilyOfTheirFont) {
    const TempFolder folder;
    const std::string fontTable =
        "<w:fonts " + testing::kWordNamespaces +
        "><w:font w:name=\"Fira Sans\"><w:family w:val=\"swiss\"/></w:font>"
        "<w:font w:name=\"Inputface\"><w:family w:val=\"auto\"/><w:pitch w:val=\"fixed\"/>"
        "</w:font><w:font w:name=\"Wingdings\"><w:charset w:val=\"02\"/>"
        "<w:family w:val=\"auto\"/><w:pitch w:val=\"variable\"/></w:font></w:fonts>";
    const auto font = [](const std::string& name) {
        return "<w:rFonts w:ascii=\"" + name + "\" w:hAnsi=\"" + name + "\"/>";
    };
    const std::string body = BodyOf(
        ConvertParts(
            folder,
            DocumentParts(
                Paragraph(TextRun("a", font("Consolas")) + TextRun("b", font("Fira Sans")) +
                          TextRun("c", font("Inputface")) + TextRun("d", font("Wingdings")) +
                          TextRun("e", font("B Nazanin")) +
                          TextRun("f", "<w:u w:val=\"double\"/>") +
                          TextRun("g", "<w:u w:val=\"wave\"/><w:strike/>") +
                          TextRun("h", "<w:dstrike/>") + TextRun("i", "<w:u w:val=\"thick\"/>")),
                Relationship("rF", "fontTable", "fontTable.xml"),
                {{"word/fontTable.xml", fontTable}}))
            .Html);
    // Known fonts by the table of common fonts, others by the font table's family and pitch.
    EXPECT_THAT(body, HasSubstr("<span style='font-family:\"Consolas\",monospace'>a</span>"
                                "<span style='font-family:\"Fira Sans\",sans-serif'>b</span>"
                                "<span style='font-family:\"Inputface\",monospace'>c</span>"
                                "<span style='font-family:Wingdings'>d</span>"
                                "<span style='font-family:\"B Nazanin\"'>e</span>"));
    // A plain or thick line is the element; a styled one is declared with its style.
    EXPECT_THAT(body,
                HasSubstr("<span style='text-decoration:underline;text-decoration-style:double'>"
                          "f</span><span style='text-decoration:underline line-through;"
                          "text-decoration-style:wavy'>g</span><span style='text-decoration:"
                          "line-through;text-decoration-style:double'>h</span><u>i</u>"));
}

TEST(FilteredWebPageParagraphs, TakeTheirStylesClassesAndTheStyleSheetTheirRules) {
    const std::string styles = StylesPart(
        Style("paragraph\" w:default=\"1", "Normal", "Normal",
              "<w:pPr><w:spacing w:after=\"160\"/></w:pPr><w:rPr><w:rFonts w:ascii=\"Calibri\" "
              "w:hAnsi=\"Calibri\"/><w:sz w:val=\"22\"/></w:rPr>") +
        Style("paragraph", "Heading1", "heading 1",
              "<w:basedOn w:val=\"Normal\"/><w:rPr><w:b/><w:color w:val=\"2F5496\"/><w:sz "
              "w:val=\"32\"/></w:rPr>") +
        Style("paragraph", "Heading7", "heading 7", "<w:basedOn w:val=\"Normal\"/>") +
        Style("paragraph", "BlockQuote", "Block Quote",
              "<w:basedOn w:val=\"Normal\"/><w:pPr><w:ind "
              "w:left=\"720\"/></w:pPr><w:rPr><w:i/></w:rPr>",
              true) +
        Style("paragraph", "TOCHeading", "TOC Heading", "<w:basedOn w:val=\"Normal\"/>") +
        Style("character", "CodeChar", "Code Char",
              "<w:rPr><w:rFonts w:ascii=\"Courier New\" w:hAnsi=\"Courier New\"/></w:rPr>", true));
    const TempFolder folder;
    const std::string html =
        ConvertParts(
            folder,
            DocumentParts(Paragraph(TextRun("Title"), "<w:pStyle w:val=\"Heading1\"/>") +
                              Paragraph(TextRun("Seven"), "<w:pStyle w:val=\"Heading7\"/>") +
                              Paragraph(TextRun("Quoted"), "<w:pStyle w:val=\"BlockQuote\"/>") +
                              Paragraph(TextRun("Contents"), "<w:pStyle w:val=\"TOCHeading\"/>") +
                              Paragraph(TextRun("x = 1", "<w:rStyle w:val=\"CodeChar\"/>")),
                          kStylesRelationship, {{"word/styles.xml", styles}}))
            .Html;
    const std::string body = BodyOf(html);
    EXPECT_THAT(body, HasSubstr("<h1>Title</h1>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoHeading7>Seven</p>"));
    EXPECT_THAT(body, HasSubstr("<p class=BlockQuote>Quoted</p>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoTocHeading>Contents</p>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal><span class=CodeChar>x = 1</span></p>"));
    EXPECT_THAT(html, HasSubstr(" p.MsoNormal, li.MsoNormal, div.MsoNormal\n\t{margin-top:0in;\n\t"
                                "margin-right:0in;\n\tmargin-bottom:8.0pt;\n\tmargin-left:0in;\n\t"
                                "font-size:11.0pt;\n\tfont-family:\"Calibri\",sans-serif;}"));
    // Rules inherit through basedOn: the heading keeps Normal's spacing and font.
    EXPECT_THAT(
        html,
        HasSubstr(
            "\nh1\n\t{margin-top:0in;\n\tmargin-right:0in;\n\tmargin-bottom:8.0pt;"
            "\n\tmargin-left:0in;\n\tfont-size:16.0pt;\n\tfont-family:\"Calibri\",sans-serif;\n\t"
            "color:#2F5496;\n\tfont-weight:bold;}"));
    EXPECT_THAT(
        html,
        HasSubstr(
            "\np.BlockQuote, li.BlockQuote, div.BlockQuote\n\t{margin-top:0in;"
            "\n\tmargin-right:0in;\n\tmargin-bottom:8.0pt;\n\tmargin-left:.5in;"
            "\n\tfont-size:11.0pt;\n\tfont-family:\"Calibri\",sans-serif;\n\tfont-style:italic;}"));
    EXPECT_THAT(html, HasSubstr("\nspan.CodeChar\n\t{font-family:\"Courier New\",monospace;}"));
    EXPECT_THAT(html, HasSubstr("@font-face\n\t{font-family:\"Courier New\";}"));
}

TEST(FilteredWebPageParagraphs, WriteDirectFormattingAsStyleAttributes) {
    const std::string styles =
        StylesPart(Style("paragraph", "Strong", "Strong Para", "<w:rPr><w:b/></w:rPr>", true));
    const TempFolder folder;
    const std::string body =
        BodyOf(ConvertParts(
                   folder, DocumentParts(Paragraph(TextRun("Centred"), "<w:jc w:val=\"center\"/>") +
                                             Paragraph(TextRun("Hanging"),
                                                       "<w:spacing w:before=\"240\" w:line=\"276\" "
                                                       "w:lineRule=\"auto\"/><w:ind w:left=\"720\" "
                                                       "w:hanging=\"360\"/>") +
                                             Paragraph(TextRun("Not bold", "<w:b w:val=\"0\"/>"),
                                                       "<w:pStyle w:val=\"Strong\"/>") +
                                             "<w:p/>" +
                                             Paragraph("", "<w:rPr><w:sz w:val=\"28\"/></w:rPr>"),
                                         kStylesRelationship, {{"word/styles.xml", styles}}))
                   .Html);
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal align=center style='text-align:center'>Centred</p>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal style='margin-top:12.0pt;margin-left:.5in;"
                                "text-indent:-.25in;line-height:115%'>Hanging</p>"));
    EXPECT_THAT(
        body,
        HasSubstr("<p class=StrongPara><span style='font-weight:normal'>Not bold</span></p>"));
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal>&nbsp;</p>\n\n"
                          "<p class=MsoNormal><span style='font-size:14.0pt'>&nbsp;</span></p>"));
}

TEST(FilteredWebPageParagraphs, OfAStyleWithContextualSpacingGetWordsCxSpClasses) {
    const std::string styles =
        StylesPart(Style("paragraph", "ListParagraph", "List Paragraph",
                         "<w:pPr><w:spacing w:before=\"80\" w:after=\"80\"/><w:ind "
                         "w:left=\"720\"/><w:contextualSpacing/></w:pPr>"));
    const std::string item = Paragraph(TextRun("item"), "<w:pStyle w:val=\"ListParagraph\"/>");
    const TempFolder folder;
    const std::string html =
        ConvertParts(folder, DocumentParts(item + "<w:bookmarkStart w:id=\"1\" w:name=\"x\"/>" +
                                               item + item + Paragraph(TextRun("between")) + item,
                                           kStylesRelationship, {{"word/styles.xml", styles}}))
            .Html;
    const std::string body = BodyOf(html);
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoListParagraphCxSpFirst>item</p>\n\n"
                          "<p class=MsoListParagraphCxSpMiddle><a name=x>item</a></p>\n\n"
                          "<p class=MsoListParagraphCxSpLast>item</p>\n\n"
                          "<p class=MsoNormal>between</p>\n\n<p class=MsoListParagraph>item</p>"));
    EXPECT_THAT(html,
                HasSubstr("\np.MsoListParagraphCxSpMiddle, li.MsoListParagraphCxSpMiddle, "
                          "div.MsoListParagraphCxSpMiddle\n\t{margin-top:0in;\n\tmargin-right:0in;"
                          "\n\tmargin-bottom:0in;\n\tmargin-left:.5in;"));
    EXPECT_THAT(html,
                HasSubstr("\np.MsoListParagraphCxSpFirst, li.MsoListParagraphCxSpFirst, "
                          "div.MsoListParagraphCxSpFirst\n\t{margin-top:4.0pt;\n\tmargin-right:0in;"
                          "\n\tmargin-bottom:0in;"));
}

TEST(FilteredWebPageContent, KeepsInsertionsAndMovesHereAndTheContentOfWrappers) {
    const std::string body = BodyOf(ConvertBody(
        Paragraph(TextRun("kept ") + "<w:ins w:id=\"1\">" + TextRun("inserted ") +
                  "</w:ins><w:del w:id=\"2\">"
                  "<w:r><w:delText>deleted </w:delText></w:r></w:del><w:moveFrom w:id=\"3\">" +
                  TextRun("moved away ") + "</w:moveFrom><w:moveTo w:id=\"4\">" +
                  TextRun("moved here ") + "</w:moveTo><w:smartTag w:element=\"e\">" +
                  TextRun("tagged ") + "</w:smartTag><w:sdt><w:sdtPr/><w:sdtContent>" +
                  TextRun("controlled ") + "</w:sdtContent></w:sdt><w:customXml w:element=\"x\">" +
                  TextRun("custom ") +
                  "</w:customXml><mc:AlternateContent><mc:Choice Requires=\"wps\">" +
                  TextRun("chosen ") + "</mc:Choice><mc:Fallback>" + TextRun("fallback ") +
                  "</mc:Fallback></mc:AlternateContent>"
                  "<mc:AlternateContent><mc:Choice Requires=\"w99\">" +
                  TextRun("unknown") + "</mc:Choice><mc:Fallback>" + TextRun("understood") +
                  "</mc:Fallback></mc:AlternateContent>") +
        "<w:sdt><w:sdtContent>" + Paragraph(TextRun("Block control")) + "</w:sdtContent></w:sdt>" +
        "<w:del w:id=\"5\">" + Paragraph(TextRun("Deleted block")) + "</w:del>" +
        Paragraph(TextRun("Beside") +
                  "<w:r><w:pict><v:shape stroked=\"f\"><v:textbox><w:txbxContent>" +
                  Paragraph(TextRun("In the box")) +
                  "</w:txbxContent></v:textbox></v:shape></w:pict></w:r>")));
    EXPECT_THAT(
        body,
        HasSubstr(">kept inserted moved here tagged controlled custom chosen understood</p>"));
    EXPECT_THAT(body, Not(HasSubstr("deleted")));
    EXPECT_THAT(body, Not(HasSubstr("away")));
    EXPECT_THAT(body, Not(HasSubstr("Deleted")));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal>Block control</p>"));
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal>Beside</p>\n\n<p class=MsoNormal>In the box</p>"));
}

TEST(FilteredWebPageSections, AreDivisionsWithWordsBreakBetweenAndPageRules) {
    const TempFolder folder;
    const auto page = ConvertParts(
        folder, DocumentParts(Paragraph(TextRun("One"),
                                        "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar "
                                        "w:top=\"1440\" w:right=\"1134\" w:bottom=\"720\" "
                                        "w:left=\"1134\"/></w:sectPr>") +
                              Paragraph(TextRun("Two")) +
                              "<w:sectPr><w:type w:val=\"continuous\"/></w:sectPr>"));
    EXPECT_EQ(page.Counts.Sections, 2);
    const std::string body = BodyOf(page.Html);
    EXPECT_THAT(body,
                HasSubstr("<div class=WordSection1>\n\n<p class=MsoNormal>One</p>\n\n</div>\n\n"
                          "<span style='font-size:10.0pt'><br clear=all "
                          "style='page-break-before:auto'>\n</span>\n\n<div class=WordSection2>"
                          "\n\n<p class=MsoNormal>Two</p>\n\n</div>"));
    EXPECT_THAT(page.Html,
                HasSubstr(" @page WordSection1\n\t{size:595.3pt 841.9pt;\n\t"
                          "margin:1.0in 56.7pt .5in 56.7pt;}\ndiv.WordSection1\n\t"
                          "{page:WordSection1;}\n@page WordSection2\n\t{size:8.5in 11.0in;"));
    // The splitter makes one chapter of each.
    EXPECT_EQ(WordSections(ExtractBodyText(page.Html)).size(), 2u);
}

TEST(FilteredWebPageSections, PageBreaksSplitTheirParagraphAsInWordsPages) {
    const std::string body = BodyOf(ConvertBody(
        Paragraph(TextRun("Before") + "<w:r><w:br w:type=\"page\"/></w:r>" + TextRun("After"),
                  "<w:jc w:val=\"right\"/>") +
        Paragraph("<w:r><w:rPr><w:sz w:val=\"24\"/></w:rPr><w:br w:type=\"page\"/></w:r>") +
        Paragraph(TextRun("Column") + "<w:r><w:br w:type=\"column\"/></w:r>")));
    const std::string open = "<p class=MsoNormal align=right style='text-align:right'>";
    EXPECT_THAT(body, HasSubstr(open +
                                "Before</p>\n\n<span style='font-size:10.0pt'><br clear=all "
                                "style='page-break-before:always'>\n</span>\n\n" +
                                open + "After</p>"));
    // A paragraph that holds only the break leaves the break alone.
    EXPECT_THAT(
        body,
        HasSubstr(
            "</p>\n\n<span style='font-size:12.0pt'><br clear=all "
            "style='page-break-before:always'>\n</span>\n\n\n\n<p class=MsoNormal>Column</p>"));
}

}  // namespace
}  // namespace quirebook
