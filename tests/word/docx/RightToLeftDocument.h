// Test support: a short Persian thesis chapter as Word writes it, with what a right-to-left
// page must lay out mirrored: indents at the start and the end, a numbered heading, numbered and
// bulleted lists with hanging indents, a right-to-left table with cell margins, a floating and a
// centred picture, code and Latin words inside Persian text, and an English paragraph.
#pragma once

#include <map>
#include <string>

namespace quirebook::testing {

// The parts of the document (part name -> bytes), ready for WriteDocx.
std::map<std::string, std::string> RightToLeftDocumentParts();

}  // namespace quirebook::testing
