// Builds the parts of the test document of tables, borders and rules.
#include "word/docx/BorderedDocument.h"

#include "word/docx/PageConversion.h"

namespace quirebook::testing {

namespace {

std::string Border(const std::string& side, const std::string& kind, int eighths,
                   const std::string& color, const std::string& extra = "", int space = 0) {
    return "<w:" + side + " w:val=\"" + kind + "\" w:sz=\"" + std::to_string(eighths) +
           "\" w:space=\"" + std::to_string(space) + "\" w:color=\"" + color + "\"" + extra + "/>";
}

std::string Styles() {
    // Colours as Word writes them: the theme's name with the value it had.
    const std::string accent = " w:themeColor=\"accent1\"";
    return StylesPart(
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
        "<w:name w:val=\"Normal\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"Boxed\">"
        "<w:name w:val=\"Boxed\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:pBdr>" +
            Border("top", "single", 4, "808080", "", 1) +
            Border("left", "single", 4, "808080", "", 4) +
            Border("bottom", "single", 4, "808080", "", 1) +
            Border("right", "single", 4, "808080", "", 4) +
            Border("between", "dotted", 4, "808080", "", 1) +
            "</w:pBdr></w:pPr></w:style>"
            "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\">"
            "<w:name w:val=\"Normal Table\"/><w:tblPr><w:tblCellMar>"
            "<w:left w:w=\"108\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/>"
            "</w:tblCellMar></w:tblPr></w:style>"
            "<w:style w:type=\"table\" w:styleId=\"LightList\"><w:name w:val=\"Light List\"/>"
            "<w:basedOn w:val=\"TableNormal\"/><w:tblPr><w:tblStyleRowBandSize w:val=\"1\"/>"
            "<w:tblBorders>" +
            Border("top", "single", 8, "4F81BD", accent) +
            Border("left", "single", 8, "4F81BD", accent) +
            Border("bottom", "single", 8, "4F81BD", accent) +
            Border("right", "single", 8, "4F81BD", accent) +
            "</w:tblBorders></w:tblPr>"
            "<w:tblStylePr w:type=\"firstRow\"><w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/>"
            "</w:pPr><w:rPr><w:b/><w:color w:val=\"1F497D\"/></w:rPr><w:tcPr><w:tcBorders>" +
            Border("bottom", "single", 12, "4F81BD", accent) +
            "</w:tcBorders></w:tcPr></w:tblStylePr>"
            "<w:tblStylePr w:type=\"lastRow\"><w:rPr><w:b/></w:rPr><w:tcPr><w:tcBorders>" +
            Border("top", "double", 4, "4F81BD", accent) +
            "</w:tcBorders></w:tcPr></w:tblStylePr>"
            "<w:tblStylePr w:type=\"firstCol\"><w:rPr><w:i/></w:rPr></w:tblStylePr>"
            "<w:tblStylePr w:type=\"band1Horz\"><w:tcPr><w:shd w:val=\"clear\" w:color=\"auto\" "
            "w:fill=\"DBE5F1\" w:themeFill=\"accent1\" w:themeFillTint=\"33\"/></w:tcPr>"
            "</w:tblStylePr>"
            "</w:style>"
            // A style based on the one above: the grid between the cells is its own.
            "<w:style w:type=\"table\" w:styleId=\"LightGrid\"><w:name w:val=\"Light Grid\"/>"
            "<w:basedOn w:val=\"LightList\"/><w:tblPr><w:tblBorders>" +
            Border("insideH", "dashed", 4, "auto") + Border("insideV", "dashed", 4, "auto") +
            "</w:tblBorders></w:tblPr></w:style>",
        "<w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val=\"22\"/></w:rPr></w:rPrDefault>"
        "<w:pPrDefault><w:pPr><w:spacing w:after=\"200\" w:line=\"276\" w:lineRule=\"auto\"/>"
        "</w:pPr></w:pPrDefault></w:docDefaults>");
}

std::string Theme() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
           "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
           "name=\"Office Theme\"><a:themeElements><a:clrScheme name=\"Office\">"
           "<a:dk1><a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1>"
           "<a:lt1><a:sysClr val=\"window\" lastClr=\"FFFFFF\"/></a:lt1>"
           "<a:dk2><a:srgbClr val=\"1F497D\"/></a:dk2><a:lt2><a:srgbClr val=\"EEECE1\"/></a:lt2>"
           "<a:accent1><a:srgbClr val=\"4F81BD\"/></a:accent1>"
           "<a:accent2><a:srgbClr val=\"C0504D\"/></a:accent2>"
           "<a:accent3><a:srgbClr val=\"9BBB59\"/></a:accent3>"
           "<a:accent4><a:srgbClr val=\"8064A2\"/></a:accent4>"
           "<a:accent5><a:srgbClr val=\"4BACC6\"/></a:accent5>"
           "<a:accent6><a:srgbClr val=\"F79646\"/></a:accent6>"
           "<a:hlink><a:srgbClr val=\"0000FF\"/></a:hlink>"
           "<a:folHlink><a:srgbClr val=\"800080\"/></a:folHlink></a:clrScheme>"
           "<a:fontScheme name=\"Office\"><a:majorFont><a:latin typeface=\"Cambria\"/>"
           "</a:majorFont><a:minorFont><a:latin typeface=\"Calibri\"/></a:minorFont>"
           "</a:fontScheme></a:themeElements></a:theme>";
}

std::string TextBox() {
    return "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
           "<wp:extent cx=\"2743200\" cy=\"548640\"/><wp:docPr id=\"1\" name=\"Text Box 1\"/>"
           "<a:graphic><a:graphicData "
           "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
           "<wps:wsp><wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
           "<a:ext cx=\"2743200\" cy=\"548640\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
           "</a:prstGeom><a:ln w=\"19050\"><a:solidFill><a:srgbClr val=\"C0504D\"/>"
           "</a:solidFill></a:ln></wps:spPr><wps:txbx><w:txbxContent>" +
           Paragraph(TextRun("Boxed in red")) +
           "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic>"
           "</wp:inline></w:drawing></w:r>";
}

}  // namespace

std::string ThreeColumnTable(const std::string& properties, int rows,
                             const std::string& cellProperties) {
    std::string table = "<w:tbl><w:tblPr>" + properties +
                        "</w:tblPr><w:tblGrid><w:gridCol w:w=\"2000\"/>"
                        "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"1000\"/></w:tblGrid>";
    for (int row = 1; row <= rows; ++row) {
        table += "<w:tr>";
        for (int column = 1; column <= 3; ++column) {
            const std::string name = "r" + std::to_string(row) + "c" + std::to_string(column);
            table += "<w:tc>";
            if (name == "r2c2" && !cellProperties.empty())
                table += "<w:tcPr>" + cellProperties + "</w:tcPr>";
            table += Paragraph(TextRun(name)) + "</w:tc>";
        }
        table += "</w:tr>";
    }
    return table + "</w:tbl>";
}

std::map<std::string, std::string> BorderedDocumentParts() {
    const std::string body =
        Paragraph(TextRun("A table in a style like Light List:")) +
        // The switches as the hexadecimal value alone: header row, first column, no column bands.
        ThreeColumnTable(
            "<w:tblStyle w:val=\"LightList\"/><w:tblW w:w=\"0\" w:type=\"auto\"/>"
            "<w:tblLook w:val=\"04A0\"/>",
            5) +
        Paragraph(TextRun("The same style, a cell with its own shading and borders:")) +
        ThreeColumnTable(
            "<w:tblStyle w:val=\"LightList\"/><w:tblLook w:val=\"0460\" w:firstRow=\"1\" "
            "w:lastRow=\"1\" w:firstColumn=\"0\" w:lastColumn=\"0\" w:noHBand=\"0\" "
            "w:noVBand=\"1\"/>",
            4,
            "<w:tcBorders><w:top w:val=\"double\" w:sz=\"4\" w:color=\"FF0000\"/>"
            "<w:left w:val=\"nil\"/></w:tcBorders><w:shd w:val=\"solid\" w:color=\"FFC000\" "
            "w:fill=\"auto\"/>") +
        Paragraph(TextRun("Half the width, centred, in a style based on another:")) +
        ThreeColumnTable(
            "<w:tblStyle w:val=\"LightGrid\"/><w:tblW w:w=\"2500\" w:type=\"pct\"/>"
            "<w:jc w:val=\"center\"/><w:tblLook w:val=\"0220\" w:firstRow=\"1\" "
            "w:noHBand=\"1\"/>",
            3) +
        Paragraph(TextRun("Three inches wide, in the document's default table style:")) +
        ThreeColumnTable(
            "<w:tblW w:w=\"4320\" w:type=\"dxa\"/><w:tblBorders>"
            "<w:top w:val=\"thick\" w:sz=\"18\" w:color=\"auto\"/>"
            "<w:bottom w:val=\"thick\" w:sz=\"18\" w:color=\"auto\"/>"
            "</w:tblBorders>",
            2) +
        Paragraph(TextRun("First boxed paragraph"), "<w:pStyle w:val=\"Boxed\"/>") +
        Paragraph(TextRun("Second boxed paragraph"), "<w:pStyle w:val=\"Boxed\"/>") +
        Paragraph(TextRun("A paragraph with a rule below"),
                  "<w:pBdr><w:bottom w:val=\"single\" w:sz=\"6\" w:space=\"1\" "
                  "w:color=\"auto\"/></w:pBdr>") +
        Paragraph(TextRun("Before the rule") +
                  "<w:r><w:pict><v:rect id=\"_x0000_i1025\" style=\"width:0;height:1.5pt\" "
                  "o:hralign=\"center\" o:hrstd=\"t\" o:hr=\"t\" fillcolor=\"#a0a0a0\" "
                  "stroked=\"f\"/></w:pict></w:r>" +
                  TextRun("After the rule")) +
        Paragraph(TextRun("A text box:") + TextBox()) +
        "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:top=\"1440\" "
        "w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\"/></w:sectPr>";
    return DocumentParts(body,
                         Relationship("rIdS", "styles", "styles.xml") +
                             Relationship("rIdT", "theme", "theme/theme1.xml"),
                         {{"word/styles.xml", Styles()}, {"word/theme/theme1.xml", Theme()}});
}

}  // namespace quirebook::testing
