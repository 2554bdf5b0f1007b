// Writes a Word table as Word writes it in a web page: table, tr and td with the cell widths
// in pixels and points, valign, colspan from merged grid columns and rowspan from vertically
// merged cells, and the cells' content (nested tables too) through the story writer.
#pragma once

#include <pugixml.hpp>

#include "word/docx/StoryWriter.h"

namespace quirebook {

void WriteTable(StoryWriter& story, pugi::xml_node table, int depth);

}  // namespace quirebook
