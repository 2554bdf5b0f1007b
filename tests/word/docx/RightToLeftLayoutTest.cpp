// Right-to-left Word documents in their filtered web page: indents, list labels, table columns
// and cell margins, and floats on the sides a right-to-left page lays them out on; left-to-right
// text inside right-to-left paragraphs isolated.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/docx/PageConversion.h"
#include "word/docx/RightToLeftDocument.h"

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
using testing::TempFolder;
using testing::TextRun;

std::string ConvertDocument() {
    const TempFolder folder;
    return ConvertParts(folder, testing::RightToLeftDocumentParts()).Html;
}

// The style sheet rule of `selector` in `html`: its declarations up to the closing brace.
std::string Rule(const std::string& html, const std::string& selector) {
    const std::size_t at = html.find('\n' + selector + "\n\t{");
    return at == std::string::npos ? "" : html.substr(at, html.find('}', at) - at);
}

std::string Persian(const std::string& text) {
    return TextRun(text, "<w:rtl/>");
}

std::string RightToLeft(const std::string& content) {
    return Paragraph(content, "<w:bidi/>");
}

TEST(RightToLeftLayout, IndentsListsAndHeadingsStartAtTheRight) {
    const std::string html = ConvertDocument();
    const std::string body = BodyOf(html);
    // Word's left indent (w:left or w:start) is the start, the right side; w:end the left side.
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal align=right dir=RTL "
                                "style='margin-right:1.0in;text-align:right'>"));
    EXPECT_THAT(body, HasSubstr("dir=RTL style='margin-right:.5in;margin-left:1.5in;"));
    EXPECT_THAT(body, HasSubstr("dir=RTL style='text-align:right;text-indent:.5in'>"));
    // The styles of right-to-left paragraphs: the list's indent and the numbered heading's
    // hanging indent at the right, so that labels and first letters stay on the page.
    EXPECT_THAT(Rule(html, "p.MsoListParagraph, li.MsoListParagraph, div.MsoListParagraph"),
                HasSubstr("margin-right:.5in;\n\tmargin-bottom:6.0pt;\n\tmargin-left:0in;\n\t"
                          "text-align:right;"));
    EXPECT_THAT(Rule(html, "h1"), HasSubstr("margin-right:.3in;\n\tmargin-bottom:6.0pt;\n\t"
                                            "margin-left:0in;\n\ttext-align:right;\n\t"
                                            "text-indent:-.3in;"));
    // A list item hangs its label into the start margin, the label first, then Word's spacer.
    EXPECT_THAT(body, HasSubstr("<p class=MsoListParagraphCxSpFirst align=right dir=RTL "
                                "style='text-align:right;text-indent:-.25in'><span "
                                "lang=EN-US>1.<span style='font:7.0pt \"Times New "
                                "Roman\"'>&nbsp;&nbsp;&nbsp; </span></span><span dir=RTL>"));
    // The direction is the dir attribute's alone: no style says it.
    EXPECT_THAT(html, Not(HasSubstr("direction")));
    EXPECT_THAT(html, Not(HasSubstr("unicode-bidi")));
    // A left-to-right paragraph in a right-to-left page says its own direction.
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal dir=LTR style='text-align:left'>"
                                "<span lang=EN-US>Abstract:"));
}

TEST(RightToLeftLayout, APageReadsAsMostOfItsParagraphsDo) {
    // A right-to-left section orders its columns, not its English text.
    const std::string bidiLanguage =
        "<w:docDefaults><w:rPrDefault><w:rPr><w:lang w:val=\"en-GB\" "
        "w:bidi=\"he-IL\"/></w:rPr></w:rPrDefault></w:docDefaults>";
    const TempFolder folder;
    const std::string english =
        ConvertParts(folder,
                     DocumentParts(Paragraph(TextRun("One")) + Paragraph(TextRun("Two")) +
                                       "<w:sectPr><w:bidi/><w:rtlGutter/></w:sectPr>",
                                   Relationship("rIdStyles", "styles", "styles.xml"),
                                   {{"word/styles.xml", testing::StylesPart("", bidiLanguage)}}))
            .Html;
    EXPECT_THAT(english, HasSubstr("<body lang=EN-GB link="));
    EXPECT_THAT(english, HasSubstr("<p class=MsoNormal>One</p>"));
    // Paragraphs right to left by their style make a right-to-left page in the language Word
    // keeps for right-to-left text.
    const std::string styles = testing::StylesPart(
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/><w:pPr><w:bidi/></w:pPr></w:style>",
        bidiLanguage);
    const std::string hebrew =
        ConvertParts(folder,
                     DocumentParts(Paragraph(Persian("שלום")) + Paragraph(TextRun("x")) +
                                       Paragraph(TextRun("English"), "<w:bidi w:val=\"0\"/>"),
                                   Relationship("rIdStyles", "styles", "styles.xml"),
                                   {{"word/styles.xml", styles}}),
                     "hebrew.htm")
            .Html;
    EXPECT_THAT(hebrew, HasSubstr("<body lang=HE-IL dir=RTL link="));
    EXPECT_THAT(hebrew, HasSubstr("<p class=MsoNormal dir=LTR style='text-align:left'><span "
                                  "lang=EN-GB>English</span></p>"));
}

TEST(RightToLeftLayout, LeftToRightTextInARightToLeftParagraphIsIsolated) {
    const std::string body = BodyOf(ConvertDocument());
    // Code keeps its order and its brackets.
    EXPECT_THAT(body, HasSubstr("<span dir=RTL>برای چاپ از دستور </span><span "
                                "dir=LTR><span class=MsoHtmlCode><span "
                                "lang=EN-US>printf(&quot;%d\\n&quot;, x);</span></span></span>"
                                "<span dir=RTL> استفاده کنید.</span>"));
    // A Latin name of several runs is one isolated text with its spaces and its number; a lone
    // Latin word is isolated too.
    EXPECT_THAT(body, HasSubstr("<span dir=LTR><span lang=EN-US>Microsoft </span><b><span "
                                "lang=EN-US>Word</span></b><span lang=EN-US> "
                                "2016</span></span><span dir=RTL> و زبان </span><span "
                                "dir=LTR><span lang=EN-US>Python</span></span>"));

    // Spaces and signs between right-to-left runs, right-to-left runs of Latin letters, runs of
    // both scripts and numbers alone read with the text around them; code of digits alone
    // keeps its order.
    const std::string mono = "<w:rFonts w:ascii=\"Courier New\" w:hAnsi=\"Courier New\"/>";
    const std::string mixed = BodyOf(
        ConvertBody(RightToLeft(Persian("الف") + TextRun(" - ") + Persian("ب") +
                                TextRun("(x)", "<w:rtl/>") + TextRun("فصل 2 از Word") +
                                TextRun("1402") + TextRun("10 + 20", mono) + TextRun(" ، ")) +
                    Paragraph(TextRun("Left to right"))));
    EXPECT_THAT(mixed, HasSubstr("<span dir=RTL>الف</span> - <span dir=RTL>ب(x)</span>فصل 2 "
                                 "از Word1402<span dir=LTR><span "
                                 "style='font-family:\"Courier New\",monospace'>10 + "
                                 "20</span></span> ، </p>"));
    EXPECT_THAT(mixed, HasSubstr("<p class=MsoNormal>Left to right</p>"));
}

TEST(RightToLeftLayout, ManyRunsWithoutLettersCostNoMoreThanTheirLength) {
    // Each run of spaces after Latin text looks ahead for the next letters: a bounded look.
    std::string spaces;
    for (int i = 0; i < 20000; ++i) spaces += TextRun(" ");
    const std::string body = BodyOf(
        ConvertBody(RightToLeft(Persian("الف") + TextRun("one") + spaces + TextRun("two")) +
                    RightToLeft(Persian("ب") + TextRun("three") + TextRun(" ") + TextRun("four"))));
    EXPECT_THAT(body, HasSubstr("two</span></p>"));
    EXPECT_THAT(body, HasSubstr("<span dir=LTR>three four</span></p>"));
}

TEST(RightToLeftLayout, TablesSetTheirColumnsAndCellMarginsByDirection) {
    const std::string body = BodyOf(ConvertDocument());
    // A right-to-left table starts at the right, its start margin (Word's left) at the right.
    EXPECT_THAT(body, HasSubstr("<table class=MsoNormalTable dir=rtl border=1 cellspacing=0 "
                                "cellpadding=0\n style='width:66.47%;border-collapse:collapse;"
                                "border:none'>"));
    EXPECT_THAT(body, HasSubstr("padding:0in 0in 0in 14.4pt'>"));

    // A left-to-right table in a right-to-left page keeps its columns from the left; a cell's
    // own margins come before the table's.
    const std::string table =
        "<w:tbl><w:tblPr><w:tblCellMar><w:top w:w=\"40\" w:type=\"dxa\"/><w:left w:w=\"0\" "
        "w:type=\"dxa\"/><w:end w:w=\"288\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tr>"
        "<w:tc><w:tcPr><w:tcMar><w:start w:w=\"144\" w:type=\"dxa\"/><w:right w:w=\"50\" "
        "w:type=\"pct\"/></w:tcMar></w:tcPr>" +
        RightToLeft(Persian("یک")) + "</w:tc><w:tc>" + RightToLeft(Persian("دو")) +
        "</w:tc></w:tr></w:tbl>";
    const std::string page = ConvertBody(table + "<w:sectPr><w:bidi/></w:sectPr>");
    EXPECT_THAT(page, HasSubstr("<table class=MsoNormalTable dir=ltr border=0"));
    EXPECT_THAT(page, HasSubstr("style='padding:2.0pt 14.4pt 0in 7.2pt'>\n<p class=MsoNormal "
                                "align=right dir=RTL style='text-align:right'><span "
                                "dir=RTL>یک"));
    EXPECT_THAT(page, HasSubstr("style='padding:2.0pt 14.4pt 0in 0in'>\n<p"));
    // In a page that reads left to right a table says no direction.
    const std::string english = Paragraph(TextRun("English"));
    EXPECT_THAT(ConvertBody(table + english + english + english),
                HasSubstr("<table class=MsoNormalTable border=0"));
}

const std::string kSquare = "<wp:wrapSquare wrapText=\"bothSides\"/>";

// A floating picture `width` EMU wide positioned by `position` (wp:posOffset or wp:align) with
// text wrapped by `wrap` around it, in a paragraph of `properties`.
std::string FloatingPicture(const std::string& position, const std::string& properties,
                            const std::string& wrap = kSquare,
                            const std::string& width = "914400") {
    return Paragraph(
        "<w:r><w:drawing><wp:anchor distL=\"114300\" distR=\"57150\"><wp:positionH "
        "relativeFrom=\"column\">" +
            position + "</wp:positionH><wp:extent cx=\"" + width + "\" cy=\"914400\"/>" + wrap +
            "<wp:docPr id=\"1\" name=\"p\"/><a:graphic><a:graphicData><pic:pic><pic:blipFill>"
            "<a:blip r:embed=\"rIdPicture\"/></pic:blipFill></pic:pic></a:graphicData>"
            "</a:graphic></wp:anchor></w:drawing></w:r>" +
            Persian("متن"),
        properties);
}

TEST(RightToLeftLayout, FloatsStandOnTheSideTheirPositionGives) {
    const std::string start = "<wp:posOffset>0</wp:posOffset>";
    const std::string end = "<wp:posOffset>5000000</wp:posOffset>";
    const std::string textBox =
        "<w:r><w:pict><v:shape style=\"position:absolute;margin-left:0;width:144pt;height:72pt;"
        "mso-position-horizontal:right\"><v:textbox><w:txbxContent>" +
        Paragraph(TextRun("In the box")) +
        "</w:txbxContent></v:textbox><w10:wrap type=\"square\"/></v:shape></w:pict></w:r>";
    const std::string body =
        FloatingPicture(start, "<w:bidi/>") + FloatingPicture(start, "") +
        FloatingPicture(end, "<w:bidi/>") + FloatingPicture("<wp:align>right</wp:align>", "") +
        FloatingPicture(start, "<w:bidi/>", "<wp:wrapTopAndBottom/>") +
        FloatingPicture("<wp:posOffset>-99999999999999999999999</wp:posOffset>", "<w:bidi/>") +
        FloatingPicture(start, "<w:bidi/>", kSquare, "4572000") + Paragraph(textBox, "<w:bidi/>") +
        "<w:sectPr><w:pgSz w:w=\"12240\"/><w:pgMar w:left=\"1440\" w:right=\"3600\"/></w:sectPr>";
    const TempFolder folder;
    const std::string page = BodyOf(
        ConvertParts(
            folder,
            DocumentParts(body, Relationship("rIdPicture", "image", "media/image1.png"),
                          {{"word/media/image1.png", std::string("\x89PNG\r\n\x1A\n", 8) + "png"}}))
            .Html);
    const auto floats = [&](const std::string& style) {
        std::vector<std::string> found;
        for (std::size_t at = page.find("<img"); at != std::string::npos;
             at = page.find("<img", at + 1)) {
            const std::string tag = page.substr(at, page.find('>', at) - at);
            const std::size_t css = tag.find(style);
            found.push_back(css == std::string::npos ? "" : tag.substr(css + style.size()));
        }
        return found;
    };
    // The offset counts from the start of the line: the right in a right-to-left paragraph.
    // An alignment names a side of the page. Text above and below, and a picture as wide as
    // the text, stand in line.
    EXPECT_EQ(floats(" style='"),
              (std::vector<std::string>{"float:right;clear:right;margin-left:9.0pt'",
                                        "float:left;clear:left;margin-right:4.5pt'",
                                        "float:left;clear:left;margin-right:4.5pt'",
                                        "float:right;clear:right;margin-left:9.0pt'", "",
                                        "float:right;clear:right;margin-left:9.0pt'", ""}));
    // A floating text box floats beside the text after its paragraph, as wide as it is, with
    // the outline VML draws by default.
    EXPECT_THAT(page, HasSubstr("<div style='float:right;clear:right;width:40%;margin-left:9.0pt;"
                                "border:solid black 1.0pt;padding:3.6pt 7.2pt'>\n\n<p "
                                "class=MsoNormal dir=LTR>In the box</p>\n\n</div>"));
}

}  // namespace
}  // namespace quirebook
