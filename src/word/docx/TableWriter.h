// Writes a Word table as Word writes it in a web page: table, tr and td, each cell with the
// borders, shading and padding its table style and its own properties give it, widths as shares
// of the text's width, valign, colspan from merged grid columns and rowspan from vertically
// merged cells, and the cells' content (nested tables too) through the story writer.
#pragma once

#include <pugixml.hpp>

#include "word/docx/StoryWriter.h"

namespace quirebook {

void WriteTable(StoryWriter& story, pugi::xml_node table, int depth);

}  // namespace quirebook
