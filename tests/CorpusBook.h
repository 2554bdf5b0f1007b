// Test support: the web-page books of the shared corpus of real documents, which lies beside
// the checkout (tests skip when it is absent).
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"

namespace quirebook::testing {

// The corpus file or folder `relative` ("docx/books", say), or the empty text when it is not
// there.
std::string CorpusPath(const std::string& relative);

// The corpus folder of web books, or the empty text when the corpus is not there.
std::string CorpusWebFolder();

// Points `book` at the corpus web book `name`: SourceFolder is the folder of its pages and
// ChapterFiles their names in reading order (from the book's order.txt). False when the book is
// missing.
bool LoadCorpusWebBook(const std::string& name, BookProject& book);

// Loads the corpus web book `name` into `book` and takes its chapters through cleaning and the
// XHTML conversion into OpsFolder. False when the book is missing.
bool ConvertCorpusWebBook(const std::string& name, BookProject& book);

}  // namespace quirebook::testing
