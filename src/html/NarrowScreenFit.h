// Fitting a web book's chapters to narrow reading screens: the book's copies of the sites' style
// sheets lose the space kept beside the text for blocks the book does not hold and a layout's
// large minimum widths, and every chapter links the fit sheet after the site's own.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"

namespace quirebook {

// The installed fit sheet, copied into every web book: pictures at most the page's width, long
// words broken only where they would overflow, code lines wrapped rather than cut.
constexpr const char* kFitSheetTemplate = "OPS/fit.css";

// Fits the style sheets `sheets` (book paths below OpsFolder, as carried) and the <style> blocks
// of `texts` (the chapters, parallel to ChapterFiles) with FitSheetToNarrowScreens: the absent
// columns are those of any of them whose selectors select no element of any chapter. Each
// change is told in BuildLog. Then places TemplateFolder + kFitSheetTemplate at the book path
// `fitSheet` and links it before each chapter's "</head>"; gives whether it did (not when the
// template is missing or empty, which the log says). Raises InOutError when a file cannot be
// written.
bool FitForNarrowScreens(BookProject& project, ChapterTexts& texts,
                         const std::vector<std::string>& sheets, const std::string& fitSheet);

}  // namespace quirebook
