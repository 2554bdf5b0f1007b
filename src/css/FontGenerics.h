// The generic CSS family a font falls back to: a table of the fonts documents commonly name, so
// that a reader without the font shows code in a monospaced face and headings in a sans-serif
// one as the document meant.
#pragma once

#include <string_view>

namespace quirebook {

// "monospace", "sans-serif", "serif", "cursive" or "fantasy" for a font family name (any case,
// with or without its style words: "Arial Narrow", "Segoe UI Semibold"); empty when the font is
// not known. Names holding "Mono", "Code", "Console", "Typewriter" or "Courier" as a word are
// monospaced.
std::string_view KnownGenericFamily(std::string_view family);

// Whether `family` (one family of a font-family list, quotes removed) is a generic family.
bool IsGenericFamily(std::string_view family);

}  // namespace quirebook
