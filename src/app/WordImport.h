// Importing a Word document (converted by the Word layer) or a web page saved by Word: the checks
// of the file, the page in the Word scratch folder, cleaning, the picture folders, the split into
// chapters, and the title, author and description from the document.
#pragma once

#include <string>

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "text/UserInterface.h"
#include "word/WordConnection.h"

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

// The Word the program runs with: the Word layer, which reads .docx itself and turns a .doc into
// a .docx with LibreOffice (in the project's Word scratch folder) when that is installed.
WordApplicationFactory ProgramWordFactory(const BookProject& project);

// The window's side of a Word document import: asks before a loaded project is replaced, refuses
// a path the system cannot hold or a file name a book cannot carry, empties the book's fields,
// sets WordDocPath and runs ImportWordDocument. False, with a message, when it does not import.
bool OpenWordDocument(BookProject& project, BookForm& form, UserInterface& ui, WordConnection& word,
                      const std::string& path);

// Makes a new book of the Word document at WordDocPath: converted by Word into WordTempFolder,
// cleaned as the options say, split into chapters, the grid filled, the title, author and
// description from the document's properties when UseWordProperties is on (the title from the
// file name when there is none), the output name from the file name. Word is quit at the end,
// whatever happened. False, with a message, when the document cannot be converted.
bool ImportWordDocument(BookProject& project, BookForm& form, UserInterface& ui,
                        WordConnection& word);

// "Re-Import Word Doc": imports the same document again once the user agrees; only a book made
// from a Word document can be.
bool ReimportWordDocument(BookProject& project, BookForm& form, UserInterface& ui,
                          WordConnection& word);

}  // namespace quirebook
