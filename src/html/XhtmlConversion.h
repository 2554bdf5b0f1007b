// XHTML conversion of a chapter: quoting attribute values, closing void elements, the XML
// header, the span clean-ups and numeric references, and the conversion sequence over a book.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"
#include "text/Entities.h"
#include "text/UserInterface.h"

namespace quirebook {

// Every unquoted attribute value put in double quotes; an unquoted value ends at the first
// space, ">" or "/>".
std::string QuoteAttributeValues(std::string_view text);

// Every void element (img, input, br, hr, meta, link, col, base, in lower case) written in
// self-closing form. A "<" with no ">" after it stops the scan: the rest stays as it is and
// `unterminatedTagAt` (when given) gets its 1-based position, else 0.
std::string CloseVoidElements(std::string_view text, std::size_t* unterminatedTagAt = nullptr);

// The XML declaration, the XHTML 1.1 document type and the html start tag (with xml:lang for a
// language other than English) that every chapter starts with, followed by an empty line.
std::string XhtmlHeader(std::string_view language);

// The page with the XML declaration, the XHTML 1.1 document type and the html start tag (with
// xml:lang for a language other than English) in front of its head, replacing whatever stood
// before the head. A page without a head gets an empty one.
std::string WriteXhtmlHeader(std::string_view text, std::string_view language);

// Attribute-less span elements removed, their content kept.
std::string UnwrapPlainSpans(std::string_view text);

// A span holding only one image replaced by the image.
std::string UnwrapImageSpans(std::string_view text);

// Numeric references "&#1xx;" from 128 to 199 replaced by their EntityTable entry; references
// below 128 stay as they are.
std::string NamedEntitiesFromNumeric(std::string_view text);

// Converts every chapter of the book (`texts`, parallel to ChapterFiles) in place into a UTF-8
// XHTML 1.1 document, on project.Jobs threads; log lines, messages and progress come in the
// chapters' order.
// A pass that a hostile page stops at a match limit leaves that chapter as it was before the
// pass, with a line in the log, and the book goes on.
void FinishChapters(BookProject& project, ChapterTexts& texts, UserInterface& ui);

}  // namespace quirebook
