// The light cleaning of a Word page ("Extreme Mode"): inline formatting, Office markup, language
// attributes and comments stripped rather than turned into classes.
#pragma once

#include <string>

namespace quirebook {

// Maps the text of the symbol fonts to the characters they draw (MapWingdingsBullets,
// MapSymbolBullets), then strips the inline formatting (StripInlineFormatting), tags with a
// namespace prefix, language
// attributes and every comment, Word's style definitions with them; makes space runs single,
// drops blank lines, aligns table cells to the top through a small style element that stands
// as the page's style definitions (so the style step of the split still makes the book's style
// sheet), and turns paragraphs holding only blanks into "<br>".
void SimpleClean(std::string& text);

// Cleans the Word page at `path` in place with SimpleClean. False, with the file left exactly as
// it was, when the page's head names no Word generator version (or the file cannot be read):
// such a page is not cleaned, and the caller stops the import with a message. Raises InOutError
// when the cleaned page cannot be written.
bool SimpleCleanFile(const std::string& path);

}  // namespace quirebook
