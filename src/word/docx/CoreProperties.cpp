#include "word/docx/CoreProperties.h"

#include "word/docx/EscapedStrings.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

const char* const kDublinCore = "http://purl.org/dc/elements/1.1/";
const char* const kCore = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";

// The text of the child of `root` named `localName` in the namespace `uri`, whatever prefix the
// part gives that namespace.
std::string PropertyText(pugi::xml_node root, const char* uri, const std::string& localName) {
    for (const pugi::xml_node node : root.children()) {
        const std::string name = node.name();
        const std::size_t colon = name.find(':');
        const std::string prefix = colon == std::string::npos ? "" : name.substr(0, colon);
        const std::string local = colon == std::string::npos ? name : name.substr(colon + 1);
        const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
        if (local == localName && std::string(root.attribute(declaration.c_str()).value()) == uri)
            return node.text().get();
    }
    return {};
}

}  // namespace

CoreProperties ReadCoreProperties(const DocxPackage& package) {
    std::string part = "docProps/core.xml";
    for (const auto& [id, relationship] : package.Relationships("")) {
        if (relationship.Type == "core-properties" && !relationship.External) {
            part = relationship.Target;
            break;
        }
    }
    pugi::xml_document properties;
    if (!LoadOptionalWordPart(package, part, properties)) return {};
    const pugi::xml_node root = properties.document_element();
    const auto line = [&](const char* uri, const char* name) {
        return OnOneLine(UnescapedString(PropertyText(root, uri, name)));
    };
    // The comments alone may run over lines.
    return {line(kDublinCore, "title"), line(kDublinCore, "subject"), line(kDublinCore, "creator"),
            line(kCore, "keywords"),
            UnescapedString(PropertyText(root, kDublinCore, "description"))};
}

}  // namespace quirebook
