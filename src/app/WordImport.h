// Importing a web page saved by Word: the check that Word made it, the working copy in the Word
// scratch folder, cleaning, the picture folders, and the split into chapters.
#pragma once

#include <string>

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// True when the page's head carries Word's generator meta and the page can be read (its
// encoding is UTF-8 or one the program can convert from); otherwise shows why and gives false.
bool CheckWordHtmlFile(const std::string& path, UserInterface& ui);

// Makes a new book of the Word page at `path`: a UTF-8 working copy in WordTempFolder, cleaned
// as the options say (full, light with ExtremeMode, none without OptimizeWordHtml), the picture
// folders beside it copied along, split into chapters, the grid filled, the title and output
// name from the file name. The user's files are never changed. False, with a message, when the
// import cannot go on.
bool ImportWordHtml(BookProject& project, BookForm& form, UserInterface& ui,
                    const std::string& path);

}  // namespace quirebook
