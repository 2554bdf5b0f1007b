// Checks the links, pictures and linked files of a conformed chapter against the files and ids
// of the whole book.
#pragma once

#include <string>

#include "html/BookLinks.h"
#include "html/ConformTree.h"

namespace quirebook::conform {

// Every link, image and linked file of the tree of `chapterFile` checked against the book: a
// fragment its target chapter does not define points to the one chapter that defines it, or is
// dropped; a link to a file the book does not hold becomes plain text unless external; a
// picture the book does not hold becomes its alt text; a linked file it does not hold goes.
void FixLinks(Tree& tree, const std::string& chapterFile, const BookLinks& book);

}  // namespace quirebook::conform
