// Chapter splitting of a Word page: its picture folder moved to "imgs", the book style sheet made
// from its head, and one chapter file per Word section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Replaces the page's references to Word's picture folder (the page's name without extension,
// each space written "%20", then "_files/") by "imgs/", and renames that folder, beside the page,
// to "imgs". A missing page or folder is skipped; the page is written only when it changed.
// Raises InOutError when the page cannot be written or the folder cannot be renamed (an "imgs"
// folder with files in it stands in the way).
void MoveWordImages(const std::string& htmlPath);

// The Word sections of a page body, in order: each from its "<div class=Section" (or
// "<div class=WordSection") up to the end of the last "</div>" before the next section, or up to
// the next section when it holds no "</div>"; the last section runs to the end of the body. The
// text before the first section is not part of any. Empty when the body has no section.
std::vector<std::string_view> WordSections(std::string_view body);

// Turns the Word page `htmlPath` into the book's chapters: moves its pictures (MoveWordImages),
// writes style.css beside it (BuildWordStyleSheet) and rebuilds ChapterFiles and ChapterSizes.
// With `splitOnSections`, each Word section becomes "c_1.htm", "c_2.htm" ... in SourceFolder (a
// body without sections one chapter; a section without text or pictures none, unless no section
// has any, and the log counts them), and the page is deleted; a page of more than 256000 bytes
// with at most one section brings advice through `ui`. Without it, the page keeps its name and
// holds the content of its first division. A missing page leaves the chapter list empty; a page
// without a body is taken as it is.
void SplitWordHtml(BookProject& project, const std::string& htmlPath, bool splitOnSections,
                   UserInterface& ui);

}  // namespace quirebook
