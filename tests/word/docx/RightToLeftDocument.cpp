#include "word/docx/RightToLeftDocument.h"

#include "word/docx/PageConversion.h"

namespace quirebook::testing {

namespace {

// A 64 x 32 blue picture.
const std::string kPicture(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x40\x00\x00"
    "\x00\x20\x08\x02\x00\x00\x00\x2D\xFF\xE9\xD3\x00\x00\x00\x37\x49\x44\x41\x54\x78\xDA\xED"
    "\xCF\x41\x09\x00\x00\x08\x04\xB0\x4B\x62\x30\xD3\x19\xD5\x0C\x3E\x85\xC1\x0A\x2C\xD5\xF3"
    "\x5A\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04\x04"
    "\x04\x04\xAE\x16\x37\x72\xC0\x79\xEC\xA5\xA8\x2E\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42"
    "\x60\x82",
    112);

const std::string kDrawingNamespaces =
    "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";

const std::string kSentence = "این متن برای آزمودن چیدمان راست به چپ نوشته شده است. ";

std::string Persian(const std::string& text) {
    return TextRun(text, "<w:rtl/>");
}

std::string Sentences(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += kSentence;
    return Persian(text);
}

std::string RightToLeft(const std::string& content, const std::string& properties = "") {
    return Paragraph(content, properties + "<w:bidi/>");
}

std::string ListItem(int list, const std::string& text) {
    return RightToLeft(Persian(text),
                       "<w:pStyle w:val=\"ListParagraph\"/><w:numPr><w:ilvl "
                       "w:val=\"0\"/><w:numId w:val=\"" +
                           std::to_string(list) + "\"/></w:numPr>");
}

// The picture 1.25 by .6 inch: in line with the text, or floating with the text wrapped around
// it at `position` (a wp:posOffset or wp:align) from the start of its line.
std::string Picture(const std::string& position = "") {
    const std::string extent = "<wp:extent cx=\"1143000\" cy=\"548640\"/>";
    const std::string graphic =
        "<wp:docPr id=\"1\" name=\"Picture 1\" descr=\"نمودار\"/><a:graphic><a:graphicData "
        "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr>"
        "<pic:cNvPr id=\"1\" name=\"Picture 1\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill>"
        "<a:blip r:embed=\"rIdPicture\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"1143000\" cy=\"548640\"/>"
        "</a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
        "</a:graphicData></a:graphic>";
    const std::string drawing =
        position.empty()
            ? "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">" + extent + graphic +
                  "</wp:inline>"
            : "<wp:anchor distT=\"0\" distB=\"0\" distL=\"114300\" distR=\"114300\" "
              "simplePos=\"0\" relativeHeight=\"1\" behindDoc=\"0\" locked=\"0\" "
              "layoutInCell=\"1\" allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/>"
              "<wp:positionH relativeFrom=\"column\">" +
                  position +
                  "</wp:positionH><wp:positionV relativeFrom=\"paragraph\"><wp:posOffset>0"
                  "</wp:posOffset></wp:positionV>" +
                  extent + "<wp:wrapSquare wrapText=\"bothSides\"/>" + graphic + "</wp:anchor>";
    return "<w:r><w:drawing " + kDrawingNamespaces + ">" + drawing + "</w:drawing></w:r>";
}

std::string Cell(const std::string& text, bool header) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/></w:tcPr>" +
           RightToLeft(TextRun(text, header ? "<w:b/><w:rtl/>" : "<w:rtl/>")) + "</w:tc>";
}

std::string Table() {
    return "<w:tbl><w:tblPr><w:bidiVisual/><w:tblW w:w=\"6000\" w:type=\"dxa\"/><w:tblBorders>"
           "<w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/>"
           "<w:bottom w:val=\"single\" w:sz=\"4\"/><w:right w:val=\"single\" w:sz=\"4\"/>"
           "<w:insideH w:val=\"single\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/>"
           "</w:tblBorders><w:tblCellMar><w:left w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"288\" "
           "w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid><w:gridCol w:w=\"3000\"/>"
           "<w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr>" +
           Cell("ستون اول", true) + Cell("ستون دوم", true) + "</w:tr><w:tr>" +
           Cell("خانه یک", false) + Cell("خانه دو", false) + "</w:tr></w:tbl>";
}

std::string Body() {
    return RightToLeft(Persian("مقدمه"), "<w:pStyle w:val=\"Heading1\"/>") +
           RightToLeft(Sentences(4), "<w:ind w:firstLine=\"720\"/>") +
           RightToLeft(Sentences(3), "<w:ind w:left=\"1440\"/>") +
           RightToLeft(Sentences(3), "<w:ind w:start=\"720\" w:end=\"2160\"/>") +
           ListItem(1, "گام نخست") + ListItem(1, kSentence + kSentence + kSentence) +
           ListItem(1, "گام سوم") + ListItem(2, "نکته یک") + ListItem(2, "نکته دو") +
           RightToLeft(Persian("برای چاپ از دستور ") +
                       TextRun("printf(\"%d\\n\", x);", "<w:rStyle w:val=\"HTMLCode\"/>") +
                       Persian(" استفاده کنید.")) +
           RightToLeft(Persian("این پایان‌نامه با ") + TextRun("Microsoft ") +
                       TextRun("Word", "<w:b/>") + TextRun(" 2016") + Persian(" و زبان ") +
                       TextRun("Python") + Persian(" نوشته شده است.")) +
           Table() + RightToLeft(Picture("<wp:posOffset>0</wp:posOffset>") + Sentences(5)) +
           RightToLeft(Picture(), "<w:jc w:val=\"center\"/>") +
           RightToLeft(Picture("<wp:align>left</wp:align>") + Sentences(4)) +
           Paragraph(TextRun("Abstract: the same text in English, read from the left."),
                     "<w:bidi w:val=\"0\"/>") +
           "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" "
           "w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\"/><w:bidi/></w:sectPr>";
}

std::string Styles() {
    return StylesPart(
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/><w:pPr><w:bidi/><w:spacing w:after=\"120\"/></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/>"
        "<w:basedOn w:val=\"Normal\"/><w:pPr><w:keepNext/><w:numPr><w:numId w:val=\"3\"/>"
        "</w:numPr><w:spacing w:before=\"240\" w:after=\"120\"/><w:outlineLvl w:val=\"0\"/>"
        "</w:pPr><w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"ListParagraph\"><w:name w:val=\"List "
        "Paragraph\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:ind w:left=\"720\"/>"
        "<w:contextualSpacing/></w:pPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"HTMLCode\"><w:name w:val=\"HTML Code\"/>"
        "<w:rPr><w:rFonts w:ascii=\"Courier New\" w:hAnsi=\"Courier New\"/><w:sz "
        "w:val=\"20\"/></w:rPr></w:style>",
        "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" "
        "w:hAnsi=\"Times New Roman\" w:cs=\"B Nazanin\"/><w:sz w:val=\"24\"/><w:lang "
        "w:val=\"en-US\" w:bidi=\"fa-IR\"/></w:rPr></w:rPrDefault></w:docDefaults>");
}

std::string Level(const std::string& format, const std::string& text, int left, int hanging,
                  const std::string& font = "") {
    return "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"" + format +
           "\"/><w:lvlText w:val=\"" + text + "\"/><w:lvlJc w:val=\"left\"/><w:pPr><w:ind " +
           "w:left=\"" + std::to_string(left) + "\" w:hanging=\"" + std::to_string(hanging) +
           "\"/></w:pPr>" +
           (font.empty() ? ""
                         : "<w:rPr><w:rFonts w:ascii=\"" + font + "\" w:hAnsi=\"" + font +
                               "\" w:hint=\"default\"/></w:rPr>") +
           "</w:lvl>";
}

// List 1 numbers "1.", list 2 has Symbol bullets, list 3 numbers the headings "1-".
std::string Numbering() {
    return "<w:numbering " + kWordNamespaces + "><w:abstractNum w:abstractNumId=\"1\">" +
           Level("decimal", "%1.", 720, 360) +
           "</w:abstractNum><w:abstractNum w:abstractNumId=\"2\">" +
           Level("bullet", "\xEF\x82\xB7", 720, 360, "Symbol") +
           "</w:abstractNum><w:abstractNum w:abstractNumId=\"3\">" +
           Level("decimal", "%1-", 432, 432) +
           "</w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
           "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"2\"/></w:num>"
           "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"3\"/></w:num></w:numbering>";
}

}  // namespace

std::map<std::string, std::string> RightToLeftDocumentParts() {
    std::map<std::string, std::string> parts =
        DocumentParts(Body(),
                      Relationship("rIdStyles", "styles", "styles.xml") +
                          Relationship("rIdNumbering", "numbering", "numbering.xml") +
                          Relationship("rIdPicture", "image", "media/image1.png"),
                      {{"word/styles.xml", Styles()},
                       {"word/numbering.xml", Numbering()},
                       {"word/media/image1.png", kPicture}});
    // Word processors other than this one find the parts by their types too.
    const std::string overrides =
        "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
        "<Override PartName=\"/word/numbering.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml\"/></Types>";
    std::string& types = parts["[Content_Types].xml"];
    types.replace(types.rfind("</Types>"), 8, overrides);
    return parts;
}

}  // namespace quirebook::testing
