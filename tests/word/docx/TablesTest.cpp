// Tables of a Word document in its filtered web page: Word's table markup, widths as shares of
// the text's width, merged cells as colspan and rowspan, the looks of table styles and their
// conditional formats under the cells' own, nested tables, and nesting deeper than is sane.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/docx/BorderedDocument.h"
#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

using testing::BodyOf;
using testing::ConvertBody;
using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::Relationship;
using testing::StylesPart;
using testing::TempFolder;
using testing::ThreeColumnTable;

// The tables of a page in order, each from its start tag to its end tag (nested ones within).
std::vector<std::string> TablesOf(const std::string& body) {
    std::vector<std::string> tables;
    for (std::size_t at = body.find("<table"); at != std::string::npos;
         at = body.find("<table", at + 1))
        tables.push_back(body.substr(at, body.find("</table>", at) - at));
    return tables;
}

// The start tag of the cell holding `text`.
std::string CellTag(const std::string& table, const std::string& text) {
    const std::size_t at = table.rfind("<td", table.find(">" + text + "<"));
    return table.substr(at, table.find('>', at) + 1 - at);
}

// What the cell holding `text` holds, up to its end tag.
std::string CellContent(const std::string& table, const std::string& text) {
    const std::size_t at = table.rfind("<td", table.find(">" + text + "<"));
    return table.substr(at, table.find("</td>", at) - at);
}

std::string Cell(const std::string& text, const std::string& properties = "") {
    return "<w:tc>" + (properties.empty() ? "" : "<w:tcPr>" + properties + "</w:tcPr>") +
           "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p></w:tc>";
}

TEST(FilteredWebPageTables, AreWordsTableMarkupWithMergedCells) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"table\" w:styleId=\"TableGrid\"><w:name w:val=\"Table Grid\"/><w:tblPr>"
        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/>"
        "<w:bottom w:val=\"single\" w:sz=\"4\"/><w:right w:val=\"single\" w:sz=\"4\"/>"
        "<w:insideH w:val=\"single\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/>"
        "</w:tblBorders></w:tblPr></w:style>");
    const std::string table =
        "<w:tbl><w:tblPr><w:tblStyle w:val=\"TableGrid\"/></w:tblPr><w:tblGrid><w:gridCol "
        "w:w=\"2000\"/>"
        "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"1500\"/></w:tblGrid>"
        "<w:tr>" +
        Cell("Wide", "<w:tcW w:w=\"5000\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/>") +
        Cell("Tall", "<w:vMerge w:val=\"restart\"/><w:vAlign w:val=\"bottom\"/>") +
        "</w:tr>"
        "<w:tr>" +
        Cell("a") +
        Cell("b", "<w:vAlign w:val=\"center\"/><w:shd w:val=\"clear\" w:fill=\"D9D9D9\"/>") +
        Cell("", "<w:vMerge/>") +
        "</w:tr>"
        "<w:sdt><w:sdtContent><w:tr>" +
        Cell("in a control") + "</w:tr></w:sdtContent></w:sdt></w:tbl>";
    const TempFolder folder;
    const std::string body = BodyOf(
        ConvertParts(folder, DocumentParts(table, Relationship("rIdS", "styles", "styles.xml"),
                                           {{"word/styles.xml", styles}}))
            .Html);
    // The grid's 6500 twips of a Letter page's 9360 wide, the cells' shares of the grid.
    EXPECT_THAT(
        body,
        HasSubstr(
            "<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0\n"
            " style='width:69.44%;border-collapse:collapse;border:none'>\n <tr>\n"
            "  <td width=333 colspan=2 valign=top style='width:76.92%;border:solid windowtext "
            "1.0pt;padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>Wide</p>\n\n  </td>\n"
            "  <td width=100 rowspan=2 valign=bottom style='width:23.08%;border:solid windowtext "
            "1.0pt;padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>Tall</p>\n\n  </td>\n </tr>\n"
            " <tr>\n  <td width=133 valign=top style='width:30.77%;"));
    EXPECT_THAT(body,
                HasSubstr("<td width=200 style='width:46.15%;border:solid windowtext 1.0pt;"
                          "background:#D9D9D9;padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>b"
                          "</p>\n\n  </td>\n </tr>\n <tr>\n"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal>in a control</p>"));
}

TEST(FilteredWebPageTables, WithoutStyleOrBordersAreWordsNormalTable) {
    const std::string body =
        BodyOf(ConvertBody("<w:tbl><w:tblGrid><w:gridCol w:w=\"1500\"/></w:tblGrid><w:tr>" +
                           Cell("Outer") + "</w:tr><w:tr><w:tc><w:tbl><w:tr>" + Cell("Inner") +
                           "</w:tr></w:tbl><w:p/></w:tc></w:tr></w:tbl>"));
    EXPECT_THAT(
        body,
        HasSubstr(
            "<table class=MsoNormalTable border=0 cellspacing=0 cellpadding=0\n"
            " style='width:16.03%;border-collapse:collapse'>\n <tr>\n  <td width=100 valign=top "
            "style='width:100.0%;padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>Outer</p>"));
    EXPECT_THAT(body, HasSubstr("<td valign=top style='padding:0in 5.4pt 0in 5.4pt'>\n"
                                "<p class=MsoNormal>Inner</p>"));
}

TEST(FilteredWebPageTables, StylesGiveHeaderRulesBandsAndTextAsTheirSwitchesSay) {
    const TempFolder folder;
    const std::vector<std::string> tables =
        TablesOf(BodyOf(ConvertParts(folder, testing::BorderedDocumentParts()).Html));
    ASSERT_EQ(tables.size(), 4u);
    const std::string& light = tables[0];
    // The header row: its rule below, the table's coloured outer borders, bold coloured text on
    // the style's own spacing, which lies beneath the paragraph style's but over the defaults.
    EXPECT_THAT(CellTag(light, "r1c2"),
                HasSubstr("style='width:50.0%;border-top:solid #4F81BD 1.0pt;"
                          "border-bottom:solid #4F81BD 1.5pt;padding:0in 5.4pt 0in 5.4pt'"));
    EXPECT_THAT(CellContent(light, "r1c2"),
                HasSubstr("<p class=MsoNormal style='margin-bottom:0in'><b><span "
                          "style='color:#1F497D'>r1c2</span></b></p>"));
    // The first column is switched on by the bits of the look: italic, and bold in the header.
    EXPECT_THAT(CellContent(light, "r1c1"), HasSubstr("<b><i><span"));
    EXPECT_THAT(CellContent(light, "r3c1"), HasSubstr("<p class=MsoNormal><i>r3c1</i></p>"));
    // Odd bands shaded, even ones not; the outer sides only at the table's edges.
    EXPECT_THAT(CellTag(light, "r2c1"),
                HasSubstr("border-left:solid #4F81BD 1.0pt;background:#DBE5F1;"));
    EXPECT_THAT(CellTag(light, "r2c2"), HasSubstr("style='width:50.0%;background:#DBE5F1;pad"));
    EXPECT_THAT(CellTag(light, "r3c2"), HasSubstr("style='width:50.0%;padding"));
    EXPECT_THAT(CellTag(light, "r4c3"), HasSubstr("background:#DBE5F1"));
    EXPECT_THAT(CellTag(light, "r5c2"), HasSubstr("border-bottom:solid #4F81BD 1.0pt;padding"));

    // The same style with the first column off and the last row on; a cell's own shading and
    // borders lie over the band's.
    const std::string& own = tables[1];
    EXPECT_THAT(CellContent(own, "r2c1"), HasSubstr("<p class=MsoNormal>r2c1</p>"));
    EXPECT_THAT(CellTag(own, "r2c2"),
                HasSubstr("style='width:50.0%;border-top:double red 2.25pt;border-left:none;"
                          "background:#FFC000;padding"));
    EXPECT_THAT(CellTag(own, "r4c2"), HasSubstr("border-top:double #4F81BD 2.25pt;"));
    EXPECT_THAT(CellContent(own, "r4c2"), HasSubstr("<b>r4c2</b>"));
    EXPECT_THAT(CellTag(own, "r3c2"), Not(HasSubstr("background")));

    // A style based on another: its own borders between cells, its parent's header rule; row
    // bands switched off.
    const std::string& grid = tables[2];
    EXPECT_THAT(CellTag(grid, "r1c1"), HasSubstr("border-bottom:solid #4F81BD 1.5pt;"
                                                 "border-right:dashed windowtext 1.0pt;"));
    EXPECT_THAT(CellTag(grid, "r2c2"),
                HasSubstr("style='width:50.0%;border:dashed windowtext 1.0pt;padding"));
    EXPECT_THAT(grid, Not(HasSubstr("background")));
    // A table naming no style has the document's default: its margins, its own borders.
    EXPECT_THAT(tables[3], HasSubstr("<table class=MsoNormalTable border=1"));
    EXPECT_THAT(CellTag(tables[3], "r1c1"), HasSubstr("border-top:solid windowtext 2.25pt;"));
}

TEST(FilteredWebPageTables, StylesGiveColoursTheirThemeNamesWhereTheyGiveNoValue) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"table\" w:styleId=\"Themed\"><w:name w:val=\"Themed\"/><w:tblPr>"
        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"8\" w:color=\"auto\" "
        "w:themeColor=\"text1\" w:themeTint=\"3F\"/></w:tblBorders></w:tblPr>"
        "<w:tblStylePr w:type=\"band1Horz\"><w:tcPr><w:shd w:val=\"clear\" "
        "w:themeFill=\"accent1\" w:themeFillTint=\"33\"/></w:tcPr></w:tblStylePr>"
        "<w:tblStylePr w:type=\"band2Horz\"><w:tcPr><w:shd w:val=\"clear\" "
        "w:themeFill=\"accent1\" w:themeFillShade=\"BF\"/></w:tcPr></w:tblStylePr></w:style>");
    const TempFolder folder;
    const std::map<std::string, std::string> parts = DocumentParts(
        ThreeColumnTable("<w:tblStyle w:val=\"Themed\"/>", 3),
        Relationship("rIdS", "styles", "styles.xml") +
            Relationship("rIdT", "theme", "theme/theme1.xml"),
        {{"word/styles.xml", styles},
         {"word/theme/theme1.xml", testing::BorderedDocumentParts().at("word/theme/theme1.xml")}});
    const std::string table = TablesOf(BodyOf(ConvertParts(folder, parts).Html)).at(0);
    // Lightened and darkened in luminance, as Word does: the values Word itself stores.
    EXPECT_THAT(CellTag(table, "r1c1"), HasSubstr("border-top:solid silver 1.0pt"));
    EXPECT_THAT(CellTag(table, "r1c1"), HasSubstr("background:#DBE5F1"));
    EXPECT_THAT(CellTag(table, "r2c1"), HasSubstr("background:#365F91"));
}

TEST(FilteredWebPageTables, WidthsAreSharesOfTheTextWidthAndCentredTablesStayCentred) {
    const TempFolder folder;
    const std::vector<std::string> letter =
        TablesOf(BodyOf(ConvertParts(folder, testing::BorderedDocumentParts()).Html));
    ASSERT_EQ(letter.size(), 4u);
    // A grid of 6000 twips on a Letter page with inch margins (9360 twips of text).
    EXPECT_THAT(letter[0], HasSubstr("style='width:64.1%;border-collapse:collapse"));
    EXPECT_THAT(letter[2], HasSubstr("cellpadding=0\n style='width:50.0%;margin-left:auto;"
                                     "margin-right:auto;border-collapse"));
    EXPECT_THAT(letter[3], HasSubstr("style='width:46.15%;"));
    // On a page with two-inch margins, 6480 twips of text: three inches are two thirds; a
    // table wider than the text takes all of it; a percentage given as such; a nested table's
    // share is of its cell, less the cell's margins.
    const std::string section =
        "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:top=\"1440\" "
        "w:right=\"2880\" w:bottom=\"1440\" w:left=\"2880\"/></w:sectPr>";
    const std::string nested =
        "<w:tbl><w:tblPr><w:tblW w:w=\"3456\" w:type=\"dxa\"/></w:tblPr><w:tblGrid>"
        "<w:gridCol w:w=\"4536\"/></w:tblGrid><w:tr><w:tc>"
        "<w:tbl><w:tblPr><w:tblW w:w=\"2160\" w:type=\"dxa\"/><w:jc w:val=\"right\"/>"
        "</w:tblPr><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl><w:p/></w:tc></w:tr></w:tbl>";
    const std::vector<std::string> narrow = TablesOf(BodyOf(ConvertBody(
        ThreeColumnTable("<w:tblW w:w=\"4320\" w:type=\"dxa\"/>", 1) +
        ThreeColumnTable("<w:tblW w:w=\"20000\" w:type=\"dxa\"/>", 1) +
        ThreeColumnTable("<w:tblW w:w=\"75%\" w:type=\"pct\"/>", 1) + nested + section)));
    ASSERT_EQ(narrow.size(), 5u);
    EXPECT_THAT(narrow[0], HasSubstr("style='width:66.67%;"));
    EXPECT_THAT(narrow[1], HasSubstr("style='width:100.0%;"));
    EXPECT_THAT(narrow[2], HasSubstr("style='width:75.0%;"));
    EXPECT_THAT(narrow[3], HasSubstr("style='width:53.33%;"));
    // 2160 of the 3456 - 2 * 108 twips inside the outer table's cell.
    EXPECT_THAT(narrow[4], HasSubstr("cellpadding=0\n style='width:66.67%;margin-left:auto;"
                                     "margin-right:0in;border-collapse"));
    // The cells' shares of their table.
    EXPECT_THAT(CellTag(narrow[0], "r1c2"), HasSubstr("style='width:50.0%;"));
}

TEST(FilteredWebPageTables, NestedBeyondAnySenseKeepTheirText) {
    std::string table;
    for (int level = 0; level < 200; ++level) table += "<w:tbl><w:tr><w:tc>";
    table += "<w:p><w:r><w:t>deepest</w:t></w:r></w:p>";
    for (int level = 0; level < 200; ++level) table += "</w:tc></w:tr></w:tbl>";
    std::string controls;
    for (int level = 0; level < 5000; ++level) controls += "<w:smartTag>";
    controls += "<w:r><w:t>inline</w:t></w:r>";
    for (int level = 0; level < 5000; ++level) controls += "</w:smartTag>";
    const std::string body = BodyOf(ConvertBody(table + "<w:p>" + controls + "</w:p>"));
    EXPECT_THAT(body, HasSubstr("deepest"));
    EXPECT_THAT(body, HasSubstr("inline"));
}

}  // namespace
}  // namespace quirebook
