// Small Word documents written by the tests: a package from its parts, and the parts of a
// minimal document around a body.
#pragma once

#include <map>
#include <string>

namespace quirebook::testing {

// Writes a zip archive at `path` holding `parts` (part name -> bytes), in name order.
void WriteDocx(const std::string& path, const std::map<std::string, std::string>& parts);

// The parts of a document whose body is `bodyXml` (the children of w:body, in the "w" and "r"
// namespaces): content types, package relationships, the main document and its relationships
// (`documentRels`: Relationship elements).
std::map<std::string, std::string> MinimalDocxParts(const std::string& bodyXml,
                                                    const std::string& documentRels = "");

}  // namespace quirebook::testing
