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
void ConformBook(BookProject& project, ChapterTexts& texts, UserInterface& ui);

}  // namespace quirebook
