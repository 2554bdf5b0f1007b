// Tables of a Word document in its filtered web page: Word's table markup, cell widths,
// merged cells as colspan and rowspan, nested tables, and nesting deeper than is sane.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

std::string Cell(const std::string& text, const std::string& properties = "") {
    return "<w:tc>" + (properties.empty() ? "" : "<w:tcPr>" + properties + "</w:tcPr>") +
           "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p></w:tc>";
}

TEST(FilteredWebPageTables, AreWordsTableMarkupWithMergedCells) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"table\" w:styleId=\"TableGrid\"><w:name w:val=\"Table Grid\"/><w:tblPr>"
        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/></w:tblBorders></w:tblPr></w:style>");
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
    EXPECT_THAT(
        body,
        HasSubstr(
            "<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0\n"
            " style='border-collapse:collapse;border:none'>\n <tr>\n"
            "  <td width=333 colspan=2 valign=top style='width:250.0pt;border:solid windowtext "
            "1.0pt;"
            "padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>Wide</p>\n\n  </td>\n"
            "  <td width=100 rowspan=2 valign=bottom style='width:75.0pt;border:solid windowtext "
            "1.0pt;"
            "padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>Tall</p>\n\n  </td>\n </tr>\n <tr>\n"
            "  <td width=133 valign=top style='width:100.0pt;"));
    EXPECT_THAT(
        body, HasSubstr("<td width=200 style='width:150.0pt;border:solid windowtext 1.0pt;"
                        "background:#D9D9D9;padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>b</p>"
                        "\n\n  </td>\n </tr>\n <tr>\n"));
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
            " style='border-collapse:collapse'>\n <tr>\n  <td width=100 valign=top "
            "style='width:75.0pt;padding:0in 5.4pt 0in 5.4pt'>\n<p class=MsoNormal>Outer</p>"));
    EXPECT_THAT(body, HasSubstr("<td valign=top style='padding:0in 5.4pt 0in 5.4pt'>\n"
                                "<p class=MsoNormal>Inner</p>"));
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
