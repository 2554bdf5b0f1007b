// The notes at the end of a filtered web page, as Word writes them after the last section: a
// division with a short rule, then one division per note (id ftn1, edn1 ...) holding its
// paragraphs; footnotes first, then endnotes, each in order of first reference.
#pragma once

#include <string>

#include "word/docx/PageContext.h"

namespace quirebook {

void WriteNoteArea(PageContext& context, std::string& out);

}  // namespace quirebook
