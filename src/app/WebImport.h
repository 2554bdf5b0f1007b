// Importing web pages as the chapters of a new book, and the chapter titles taken from them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Asks before a loaded project is replaced; true when there is none or the answer is Yes.
bool ConfirmNewProject(const BookProject& project, UserInterface& ui);

// Empties the book's fields for a new import: title, author, subject, publisher and ID (the
// description and the language stay), the output labels, the cover, the replacement sheet and
// the resource root.
void ResetBookFields(BookProject& project, BookForm& form);

// Makes a new book of the web pages `pages` (paths, in reading order, all in one folder): the
// chapter list and sizes, the source folder and its default resource root, emptied work folders,
// the chapter grid and titles, the title from the folder's name and the output name. False, with a
// message, when the user keeps the loaded project, no page is given or the pages lie in different
// folders.
bool ImportWebPages(BookProject& project, BookForm& form, UserInterface& ui,
                    const std::vector<std::string>& pages);

// Fills the grid's rows from the chapter list (number, name, size text) and their titles.
void FillChapterGrid(BookProject& project, BookForm& form);

// Fills ChapterTitles (escaped, as read from the pages) and the grid's title cells from the
// source the options choose: the file name, the HTML title or the first heading. Empty with
// automatic titles off.
void FillChapterTitles(BookProject& project, BookForm& form);

// The title a chapter gets from its file name: the name up to its first ".".
std::string TitleFromFileName(std::string_view fileName);
// The text of "<title>" (or "<TITLE>") within the first 255 bytes of a page, up to the next
// "<"; empty when there is none.
std::string TitleFromHtml(std::string_view page);
// The text of the first h1 to h3 heading of a page that is not blank, its tags removed and
// "&nbsp;" and line feeds turned into spaces; empty when there is none.
std::string TitleFromFirstHeading(std::string_view page);

// The book's name taken from its folder: the folder's last name, or the drive letter of a
// drive root.
std::string BookNameFromFolder(std::string_view folder);

}  // namespace quirebook
