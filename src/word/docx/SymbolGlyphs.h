// Characters of symbol fonts as Word writes them in a web page: a symbol font's glyph codes
// U+F020 to U+F0FF stand for the Latin-1 characters U+0020 to U+00FF (Symbol's bullet F0B7 is
// written "·", Wingdings' F0A7 "§"), which the page then shows in that font.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The UTF-8 text of code point `codePoint`; U+FFFD for one that is not a character.
std::string CodePointText(unsigned long codePoint);

// `text` (UTF-8) with its symbol-font glyph codes replaced by the Latin-1 characters they stand
// for; other characters are kept.
std::string SymbolGlyphText(std::string_view text);

// The character of a w:sym element's hexadecimal w:char ("F0B7" -> "·"); empty when it is not a
// number.
std::string SymbolCharacter(std::string_view hexCode);

}  // namespace quirebook
