// Leaving the web site's page furniture out of a web book's chapters, with what was left out
// told in the build log.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"
#include "html/PageOutline.h"

namespace quirebook {

// Cuts the furniture out of `texts` (see RemovePageFurniture) as the project's options choose:
// found blocks unless KeepFurniture, the blocks RemoveSelectors names always; nothing for a book
// of a Word document or a Word web page, whose pages carry no site's furniture. Each block left
// out (or kept by the share of the words) gets a line in BuildLog. Gives the summary line, or
// nothing when no block was left out. Raises std::invalid_argument for selectors that cannot
// be read.
// With `outlines`, each chapter's outline is read there from the same parse (see
// LeaveOutFurnitureAndOutline), for a Word book too.
std::string LeaveOutFurniture(BookProject& project, ChapterTexts& texts,
                              std::vector<PageOutline>* outlines = nullptr);

// "Removed N furniture blocks (W words) from C chapters", with the singular where it is one.
std::string FurnitureSummary(std::size_t blocks, std::size_t words, std::size_t chapters);

}  // namespace quirebook
