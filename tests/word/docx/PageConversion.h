// Test support: small Word documents built from their parts and converted to the filtered web
// page, read back with line feeds alone.
#pragma once

#include <map>
#include <string>

#include "TempFolder.h"
#include "word/docx/FilteredWebPage.h"

namespace quirebook::testing {

// The namespace declarations of WordprocessingML parts.
inline const std::string kWordNamespaces =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// A run of `text` (kept with its spaces) with run properties `properties`.
std::string TextRun(const std::string& text, const std::string& properties = "");

// A paragraph of `content` with paragraph properties `properties`.
std::string Paragraph(const std::string& content, const std::string& properties = "");

// A Relationship element of type `type` ("styles", "image", "hyperlink" ...).
std::string Relationship(const std::string& id, const std::string& type, const std::string& target,
                         bool external = false);

// The parts of a document whose body is `body`, with `relationships` of its main part and
// `extraParts` (part name -> bytes) added.
std::map<std::string, std::string> DocumentParts(
    const std::string& body, const std::string& relationships = "",
    const std::map<std::string, std::string>& extraParts = {});

// A styles part holding `styles` (w:style elements) after `defaults` (a w:docDefaults).
std::string StylesPart(const std::string& styles, const std::string& defaults = "");

struct ConvertedPage {
    std::string Html;  // the page, CR LF line ends made LF
    FilteredWebPageCounts Counts;
};

// Writes `parts` as folder/document.docx and converts it to folder/`pageName`.
ConvertedPage ConvertParts(const TempFolder& folder,
                           const std::map<std::string, std::string>& parts,
                           const std::string& pageName = "page.htm");

// Converts the document whose body is `body` (no other parts) and gives its page.
std::string ConvertBody(const std::string& body);

// The body of a converted page: what lies between the first section's division and the end
// of the body.
std::string BodyOf(const std::string& html);

}  // namespace quirebook::testing
