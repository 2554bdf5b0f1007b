// Word's borders and shading as CSS: border kinds, widths and colours, shading patterns, the
// switches of a table's conditional formats; and on the page, paragraphs in bordered boxes,
// horizontal rules and the outlines of text boxes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "word/docx/PageConversion.h"
#include "word/docx/TableFormats.h"
#include "word/docx/WordBorders.h"
#include "word/docx/WordShading.h"

namespace quirebook {
namespace {

using testing::BodyOf;
using testing::ConvertBody;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::Paragraph;
using testing::TextRun;

// The CSS of the border element `xml`.
std::string CssOf(const std::string& xml) {
    pugi::xml_document document;
    document.load_string(xml.c_str());
    const std::optional<WordBorder> border = ReadWordBorder(document.first_child(), nullptr);
    return border ? BorderCss(*border) : "(nothing)";
}

std::string ShadingOf(const std::string& xml) {
    pugi::xml_document document;
    document.load_string(xml.c_str());
    return ShadingColor(document.first_child()).value_or("(nothing)");
}

TableLook LookOf(const std::string& xml) {
    pugi::xml_document document;
    document.load_string(xml.c_str());
    return ReadTableLook(document.first_child());
}

TEST(WordBorders, AreCssBordersAScreenShows) {
    // Half a point is drawn as one; "auto" is the text's colour; named colours by name.
    EXPECT_EQ(CssOf("<w:top w:val='single' w:sz='4' w:color='auto'/>"), "solid windowtext 1.0pt");
    EXPECT_EQ(CssOf("<w:top w:val='single'/>"), "solid windowtext 1.0pt");
    EXPECT_EQ(CssOf("<w:top w:val='thick' w:sz='18' w:color='4F81BD'/>"), "solid #4F81BD 2.25pt");
    // Two strokes need room for the gap between them.
    EXPECT_EQ(CssOf("<w:top w:val='double' w:sz='4' w:color='FF0000'/>"), "double red 2.25pt");
    EXPECT_EQ(CssOf("<w:top w:val='thinThickSmallGap' w:sz='24'/>"), "double windowtext 9.0pt");
    EXPECT_EQ(CssOf("<w:top w:val='dotted' w:sz='12'/>"), "dotted windowtext 1.5pt");
    EXPECT_EQ(CssOf("<w:top w:val='dashSmallGap' w:sz='4'/>"), "dashed windowtext 1.0pt");
    EXPECT_EQ(CssOf("<w:top w:val='dotDotDash' w:sz='4'/>"), "dashed windowtext 1.0pt");
    EXPECT_EQ(CssOf("<w:top w:val='threeDEngrave' w:sz='4'/>"), "groove windowtext 1.0pt");
    EXPECT_EQ(CssOf("<w:top w:val='nil'/>"), "none");
    EXPECT_EQ(CssOf("<w:top w:val='none' w:sz='4'/>"), "none");
    // A hostile width is Word's widest; a colour that is none is the text's.
    EXPECT_EQ(CssOf("<w:top w:val='single' w:sz='99999' w:color='x;}'/>"),
              "solid windowtext 12.0pt");
}

TEST(WordShading, ShowsItsFillWithThePatternOverIt) {
    EXPECT_EQ(ShadingOf("<w:shd w:val='clear' w:color='auto' w:fill='D9D9D9'/>"), "#D9D9D9");
    EXPECT_EQ(ShadingOf("<w:shd w:val='clear' w:color='auto' w:fill='auto'/>"), "");
    EXPECT_EQ(ShadingOf("<w:shd w:val='nil'/>"), "");
    EXPECT_EQ(ShadingOf("<w:shd w:val='solid' w:color='FFC000' w:fill='auto'/>"), "#FFC000");
    EXPECT_EQ(ShadingOf("<w:shd w:val='solid' w:color='auto' w:fill='auto'/>"), "black");
    // A share of black over white, or of a colour over a fill.
    EXPECT_EQ(ShadingOf("<w:shd w:val='pct20' w:color='auto' w:fill='auto'/>"), "#CCCCCC");
    EXPECT_EQ(ShadingOf("<w:shd w:val='pct50' w:color='0000FF' w:fill='FFFF00'/>"), "gray");
    EXPECT_EQ(ShadingOf("<w:shd w:val='pct25' w:color='0000FF' w:fill='FFFFFF'/>"), "#BFBFFF");
    EXPECT_EQ(ShadingOf("<w:shd w:val='horzStripe' w:color='000000' w:fill='FFFFFF'/>"), "gray");
    EXPECT_EQ(ShadingOf("<w:shd w:val='thinHorzStripe' w:color='000000' w:fill='FFFFFF'/>"),
              "#BFBFBF");
}

TEST(TableLook, SwitchesByNamesOrByTheBitsOfItsValue) {
    const TableLook bits = LookOf("<w:tblLook w:val='04A0'/>");
    EXPECT_TRUE(bits.FirstRow && bits.FirstColumn && bits.RowBands);
    EXPECT_FALSE(bits.LastRow || bits.LastColumn || bits.ColumnBands);
    // Word writes both; the names are read when they are there.
    const TableLook named =
        LookOf("<w:tblLook w:val='04A0' w:firstRow='0' w:lastRow='1' w:noHBand='1'/>");
    EXPECT_FALSE(named.FirstRow || named.FirstColumn || named.RowBands);
    EXPECT_TRUE(named.LastRow && named.ColumnBands);
    // Without one only the bands are on.
    const TableLook none = LookOf("<w:tblPr/>");
    EXPECT_TRUE(none.RowBands && none.ColumnBands);
    EXPECT_FALSE(none.FirstRow || none.LastRow || none.FirstColumn || none.LastColumn);
    EXPECT_FALSE(LookOf("<w:tblLook w:val='zz20'/>").FirstRow);
}

TEST(FilteredWebPageBorders, ParagraphsWithTheSameBordersShareOneBox) {
    const std::string box =
        "<w:pBdr><w:top w:val='single' w:sz='4' w:space='1'/>"
        "<w:left w:val='single' w:sz='4' w:space='4'/>"
        "<w:bottom w:val='single' w:sz='4' w:space='1'/>"
        "<w:right w:val='single' w:sz='4' w:space='4'/>"
        "<w:between w:val='dotted' w:sz='4' w:space='1'/></w:pBdr>";
    const std::string body = BodyOf(ConvertBody(
        Paragraph(TextRun("one"), box) + Paragraph(TextRun("two"), box) +
        Paragraph(TextRun("ruled"),
                  "<w:pBdr><w:bottom w:val='single' w:sz='6' w:space='1' w:color='auto'/>"
                  "</w:pBdr>") +
        Paragraph(TextRun("plain")) +
        // A section ends inside a box: the box closes before the section's division.
        Paragraph(TextRun("last of its section"), box + "<w:sectPr/>") +
        Paragraph(TextRun("next section"), box)));
    EXPECT_THAT(body, HasSubstr("<div style='border:solid windowtext 1.0pt;"
                                "padding:1.0pt 4.0pt 1.0pt 4.0pt'>\n\n"
                                "<p class=MsoNormal>one</p>\n\n"
                                "<p class=MsoNormal style='border-top:dotted windowtext 1.0pt;"
                                "padding-top:1.0pt'>two</p>\n\n</div>"));
    EXPECT_THAT(body, HasSubstr("<div style='border-bottom:solid windowtext 1.0pt;"
                                "padding:0in 0in 1.0pt 0in'>\n\n<p class=MsoNormal>ruled</p>\n\n"
                                "</div>\n\n<p class=MsoNormal>plain</p>"));
    EXPECT_THAT(body, HasSubstr("last of its section</p>\n\n</div>\n\n</div>"));
    EXPECT_THAT(body, HasSubstr("<div class=WordSection2>\n\n<div style='border:"));
    std::size_t opened = 0, closed = 0;
    for (std::size_t at = body.find("<div"); at != std::string::npos;
         at = body.find("<div", at + 1))
        ++opened;
    for (std::size_t at = body.find("</div>"); at != std::string::npos;
         at = body.find("</div>", at + 1))
        ++closed;
    EXPECT_EQ(opened, closed);
}

TEST(FilteredWebPageBorders, RulesAndTextBoxOutlinesAreKept) {
    const std::string rule =
        "<w:r><w:pict><v:rect style='width:0;height:3pt' o:hralign='left' o:hrpct='500' "
        "o:hr='t' o:hrnoshade='t' fillcolor='red' stroked='f'/></w:pict></w:r>";
    const std::string vmlBox =
        "<w:r><w:pict><v:shape type='#_x0000_t202' style='width:234pt;height:40pt' "
        "strokecolor='#4f81bd [3204]' "
        "strokeweight='2pt'><v:stroke dashstyle='dash'/><v:textbox><w:txbxContent>" +
        Paragraph(TextRun("in a VML box")) +
        "</w:txbxContent></v:textbox></v:shape></w:pict></w:r>";
    const std::string drawingBox =
        [](const std::string& line, const std::string& text) {
            return "<w:r><w:drawing><wp:inline><a:graphic><a:graphicData><wps:wsp><wps:spPr>" +
                   line + "</wps:spPr><wps:txbx><w:txbxContent>" + Paragraph(TextRun(text)) +
                   "</w:txbxContent></wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:inline>"
                   "</w:drawing></w:r>";
        }("<a:ln w='12700'><a:solidFill><a:srgbClr val='00B050'/></a:solidFill>"
          "<a:prstDash val='sysDot'/></a:ln>",
          "in a dotted box");
    const std::string unlined =
        "<w:r><w:drawing><wps:wsp><wps:spPr><a:ln><a:noFill/></a:ln></wps:spPr><wps:txbx>"
        "<w:txbxContent>" +
        Paragraph(TextRun("in no box")) + "</w:txbxContent></wps:txbx></wps:wsp></w:drawing></w:r>";
    const std::string body = BodyOf(
        ConvertBody(Paragraph(TextRun("before") + rule + TextRun("after")) + Paragraph(rule) +
                    Paragraph(TextRun("boxes") + vmlBox + drawingBox + unlined)));
    // A rule ends its paragraph; what follows it goes on in one like it.
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal>before</p>\n\n"
                                "<hr style='width:50.0%;height:0;border:none;border-top:solid red "
                                "3.0pt;margin-left:0in;margin-right:auto'>\n\n"
                                "<p class=MsoNormal>after</p>\n\n<hr "));
    // A paragraph holding only a rule leaves no empty paragraph behind.
    EXPECT_THAT(body, HasSubstr("margin-right:auto'>\n\n\n\n<p class=MsoNormal>boxes</p>"));
    EXPECT_THAT(
        body, HasSubstr("<div style='width:50.0%;border:dashed #4F81BD 2.0pt;padding:3.6pt 7.2pt'>"
                        "\n\n<p class=MsoNormal>in a VML box</p>\n\n</div>"));
    EXPECT_THAT(body, HasSubstr("<div style='border:dotted #00B050 1.0pt;padding:3.6pt 7.2pt'>"
                                "\n\n<p class=MsoNormal>in a dotted box</p>\n\n</div>"));
    EXPECT_THAT(body, HasSubstr("</div>\n\n<p class=MsoNormal>in no box</p>"));
    EXPECT_THAT(body, Not(HasSubstr("<p class=MsoNormal></p>")));
}

}  // namespace
}  // namespace quirebook
