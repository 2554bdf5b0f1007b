// Importing the pages a contents page links to as the chapters of a new book, in its order.
#pragma once

#include <string>

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// How far the links of a contents page are followed, and whether it is a chapter itself.
struct ContentsPageChoice {
    int Depth = 1;  // 1: the pages the contents page links to; 2: and the pages those link to...
    bool WithContentsPage = true;
    std::string ResourceRoot;  // the root pages are read from; empty: the default for the page
};

// Makes a new book (as ImportWebPages does) of the pages `contentsPage` links to, in the reading
// order its contents list gives (WalkContentsPage). The links not followed are told in one message
// and written to the log. False, with a message, when the user keeps the loaded project, the root
// does not hold the page's folder or no page is found.
bool ImportFromContentsPage(BookProject& project, BookForm& form, UserInterface& ui,
                            const std::string& contentsPage, const ContentsPageChoice& choice);

}  // namespace quirebook
