// The style of a whole book made valid for readers and epubcheck: every style sheet it carries,
// the <style> elements and style attributes of its chapters; in EPUB 3 also without the
// direction properties, whose effect the elements they selected keep as dir attributes.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"

namespace quirebook {

// Repairs (RepairStyleSheet) the sheets `sheets` (book paths below OpsFolder), the replacement
// style sheet when the project has one, the <style> elements of `texts` (the chapters, parallel
// to ChapterFiles; HTML comment markers around their text go first) and their style attributes
// (RepairStyleAttribute; one left empty goes), each change told in BuildLog with its sheet or
// chapter and line. In EPUB 3, "direction" and "unicode-bidi" go from all of them, and each
// element whose direction they set to "rtl" or "ltr" gets that dir: the winner among the rules
// of the sheets and style elements the chapter links (in their order, imports first) and its own
// style attribute, by importance, then specificity, then order, as the cascade picks it. Rules
// under a media condition that not every screen meets, and selectors the selector subset
// (ParseSelectors) cannot read, set no dir. Raises InOutError when a file cannot be read or
// written.
void RepairBookStyles(BookProject& project, ChapterTexts& texts,
                      const std::vector<std::string>& sheets);

}  // namespace quirebook
