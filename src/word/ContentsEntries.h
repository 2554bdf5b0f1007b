// The entries of Word's table of contents in a page Word wrote: Word keeps each entry's page
// number and the tab leader before it in spans hidden from the web view, which a book without
// pages shows to readers that take no style sheet, and to every search of its text.
#pragma once

#include <string>

namespace quirebook {

// In every paragraph of the contents styles (class MsoToc1 to MsoToc9), the spans hidden with
// display:none go with all they hold; the entry keeps its text and its link to the heading.
void DropContentsPageNumbers(std::string& page);

}  // namespace quirebook
