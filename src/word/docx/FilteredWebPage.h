// A Word document (.docx) written as the "filtered web page" Word saves: one HTML page in UTF-8
// with Word's head, style definitions, section divisions, markup and note area, and its
// pictures in the folder beside it, so that the Word page cleaner, splitter and filters take it
// as a page Word wrote.
#pragma once

#include <string>
#include <vector>

#include "word/docx/DocxPackage.h"

namespace quirebook {

// What was written, for the log and the tests.
struct FilteredWebPageCounts {
    int Sections = 0;
    int Pictures = 0;
    int Footnotes = 0;
    int Endnotes = 0;
    // Lines for the book's log: what the page could not show as the document does.
    std::vector<std::string> Remarks;
};

// Writes the filtered web page of the document in `package` to `htmlPath` (UTF-8), and its
// pictures into the folder beside it named like the page without extension + "_files".
// WordDocumentError when the document cannot be read; InOutError when the page or a picture
// cannot be written.
FilteredWebPageCounts WriteFilteredWebPage(const DocxPackage& package, const std::string& htmlPath);

}  // namespace quirebook
