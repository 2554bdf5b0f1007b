// Importing web pages as the chapters of a new book, and the chapter titles taken from them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "html/PageOutline.h"
#include "text/UserInterface.h"

namespace quirebook {

// Asks before a loaded project is replaced; true when there is none or the answer is Yes.
bool ConfirmNewProject(const BookProject& project, UserInterface& ui);

// Empties the book's fields for a new import: title, author, subject, publisher and ID (the
// description and the language stay), the output labels, the cover, the replacement sheet, the
// resource root and the chapters' levels.
void ResetBookFields(BookProject& project, BookForm& form);

// Makes a new book of the web pages `pages` (paths, in reading order, all in one folder): the
// chapter list and sizes, the source folder and its default resource root, emptied work folders,
// the chapter grid and titles, the title from the folder's name, the language of the first page
// that says one (PageLanguage) and the output name. False, with a
// message, when the user keeps the loaded project, no page is given or the pages lie in different
// folders.
// `levels` (parallel to `pages`, or shorter) tells how deep a contents page nests each page
// (ChapterLevels).
bool ImportWebPages(BookProject& project, BookForm& form, UserInterface& ui,
                    const std::vector<std::string>& pages, const std::vector<int>& levels = {});

// Sets the book's language to the one the language tag `tag` ("fr-FR") names, when the language
// list knows it; false for an empty tag.
bool TakeDocumentLanguage(const BookProject& project, BookForm& form, std::string_view tag);

// Fills the grid's rows from the chapter list (number, name, size text) and their titles.
void FillChapterGrid(BookProject& project, BookForm& form);

// Fills ChapterTitles (escaped) and the grid's title cells from the source the options choose:
// the file name, the HTML title or the first heading (ChapterTitleFromPage); a chapter whose
// page gives none gets the file name's title and a log line. Empty with automatic titles off.
// With TocFromHeadings and a front end that shows the heading tree, HeadingEntries gets the
// table of contents the pages give (BookNavigation).
void FillChapterTitles(BookProject& project, BookForm& form);

// The outlines of the chapters' pages as they lie in SourceFolder; for a web book whose pages do
// not all mark their main content, without the page furniture the book would leave out (found by
// repetition, landmarks and the settings' selectors), kept or not.
std::vector<PageOutline> OutlineSourcePages(const BookProject& project);

// A chapter's title from its page: from the HTML title, `pageTitle` (the page's <title> without
// the part every chapter's title shares); from the first heading, the label of the first heading
// of its main content, else (for a chapter of a Word document) its first words, else
// `pageTitle`. Empty when the page gives none.
std::string ChapterTitleFromPage(const PageOutline& outline, const std::string& pageTitle,
                                 TitleSourceKind source, bool wordChapter);

// The title a chapter gets from its file name: the name up to its first ".".
std::string TitleFromFileName(std::string_view fileName);

// The book's name taken from its folder: the folder's last name, or the drive letter of a
// drive root.
std::string BookNameFromFolder(std::string_view folder);

}  // namespace quirebook
