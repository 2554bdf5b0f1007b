// The last step of making a book: the package documents and the archive; and packing an edited
// work folder again.
#pragma once

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Writes content.opf and toc.ncx and packs WorkFolder into OutputPath. False when any of them
// fails; the reason is added to BuildLog and the remaining steps are skipped.
bool BuildEpub(BookProject& project);

// Packs WorkFolder into OutputPath again, without rewriting any package document (after the
// user edited files in the work folder), and says so when the book is there. Errors raise.
void RecompileBook(const BookProject& project, UserInterface& ui);

}  // namespace quirebook
