#include "word/docx/PageConversion.h"

#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"
#include "word/docx/DocxPackage.h"

namespace quirebook::testing {

std::string TextRun(const std::string& text, const std::string& properties) {
    return "<w:r>" + (properties.empty() ? "" : "<w:rPr>" + properties + "</w:rPr>") +
           "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

std::string Paragraph(const std::string& content, const std::string& properties) {
    return "<w:p>" + (properties.empty() ? "" : "<w:pPr>" + properties + "</w:pPr>") + content +
           "</w:p>";
}

std::string Relationship(const std::string& id, const std::string& type, const std::string& target,
                         bool external) {
    return "<Relationship Id=\"" + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + type +
           "\" Target=\"" + target + "\"" + (external ? " TargetMode=\"External\"" : "") + "/>";
}

std::map<std::string, std::string> DocumentParts(
    const std::string& body, const std::string& relationships,
    const std::map<std::string, std::string>& extraParts) {
    std::map<std::string, std::string> parts = MinimalDocxParts(body, relationships);
    for (const auto& [name, bytes] : extraParts) parts[name] = bytes;
    return parts;
}

std::string StylesPart(const std::string& styles, const std::string& defaults) {
    return "<w:styles " + kWordNamespaces + ">" + defaults + styles + "</w:styles>";
}

ConvertedPage ConvertParts(const TempFolder& folder,
                           const std::map<std::string, std::string>& parts,
                           const std::string& pageName) {
    WriteDocx(folder / "document.docx", parts);
    const DocxPackage package(folder / "document.docx");
    ConvertedPage page;
    page.Counts = WriteFilteredWebPage(package, folder / pageName);
    for (const char c : LoadTextFile(folder / pageName))
        if (c != '\r') page.Html += c;
    return page;
}

std::string ConvertBody(const std::string& body) {
    const TempFolder folder;
    return ConvertParts(folder, DocumentParts(body)).Html;
}

std::string BodyOf(const std::string& html) {
    const std::size_t start = html.find("<div class=WordSection1>");
    const std::size_t end = html.rfind("</body>");
    if (start == std::string::npos || end == std::string::npos || end < start) return {};
    return html.substr(start, end - start);
}

}  // namespace quirebook::testing
