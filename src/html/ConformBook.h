// The XHTML 1.1 conformance stage over a whole book: every chapter conformed, then every link
// and image kept inside the book.
#pragma once

#include "book/BookProject.h"
#include "book/ChapterTexts.h"
#include "text/UserInterface.h"

namespace quirebook {

// Runs the conformance stage over the chapters (`texts`, parallel to ChapterFiles) in two
// passes: the chapters, then their links against every chapter's ids and every file the book
// will hold. The files the book holds are those in OpsFolder, where the chapters were placed
// and the resources carried beforehand. The chapters are worked on with project.Jobs threads;
// log lines and messages come in the chapters' order.
// In an EPUB 3 book a chapter named .htm or .html is renamed .xhtml (Epub3ChapterName), as EPUB
// 3 readers expect, unless another chapter or file of the book has that name; and a chapter
// whose name an earlier chapter or a file of the book has in other capitals is renamed with
// "-2", "-3" ... before its extension. ChapterFiles then names it so, the file under its old
// name is removed, and every link to it follows.
void ConformBook(BookProject& project, ChapterTexts& texts, UserInterface& ui);

// The name of `chapter` in an EPUB 3 book: ".htm" and ".html" (in any case) become ".xhtml".
std::string Epub3ChapterName(const std::string& chapter);

}  // namespace quirebook
