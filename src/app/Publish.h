// Making the book: the publish command with its checks, the metadata read from the form, and
// the whole chain from the chapter sources to the packed book.
#pragma once

#include "app/BookForm.h"
#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Fills BookMetadata from the form's boxes: trimmed and escaped, "Anonymous Author" and
// "Unknown publisher" for empty boxes, the language's code. An empty ID stays empty: the
// package then gets a new urn:uuid identifier.
void ReadMetadataFields(BookProject& project, const BookForm& form);

// The publish command: checks the project and the form (each refusal a message, nothing
// changed), then makes the book at OutputFolder + the form's output name and reports the result
// through `ui` and BuildLog. True when the book was written. Chapters whose source is missing
// are named and left out of the book.
bool PublishBook(BookProject& project, BookForm& form, UserInterface& ui);

}  // namespace quirebook
