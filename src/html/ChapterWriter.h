// Writes the conformance stage's tree as a well-formed XHTML 1.1 (or HTML5 in XML form)
// document: characters as XML takes them, style sheets in CDATA sections where they need one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "html/ConformTree.h"

namespace quirebook::conform {

// The chapter as a document: the XML declaration, the document type, the html element with
// its head and body. Cell headers that name no id of the chapter are left out.
std::string WriteDocument(const Tree& tree);
// The ids the written tree holds, in document order: those of every element written with its
// tags.
std::vector<std::string> WrittenIds(const Tree& tree);
// A style sheet read back from a written chapter without the CDATA markers WriteDocument put
// around it, so that reading and writing a chapter again changes nothing.
std::string UnwrapStyleText(std::string_view css);

}  // namespace quirebook::conform
