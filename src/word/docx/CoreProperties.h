// The document's core properties (docProps/core.xml): title, subject, author, keywords and
// comments, as Word shows them among its built-in properties: escaped characters read, the
// comments on as many lines as they were written, the others on one line.
#pragma once

#include <string>

#include "word/docx/DocxPackage.h"

namespace quirebook {

struct CoreProperties {
    std::string Title;
    std::string Subject;
    std::string Author;  // dc:creator
    std::string Keywords;
    std::string Comments;  // dc:description
};

// The properties of the package's core-properties part; empty texts when it has none or the
// part is damaged (properties are never worth a document).
CoreProperties ReadCoreProperties(const DocxPackage& package);

}  // namespace quirebook
