// What the symbol fonts Word documents use draw for each character code: Symbol's Greek letters,
// mathematical signs and bullet, Wingdings' bullets, boxes, arrows and check marks, as Unicode.
#pragma once

#include <string_view>

namespace quirebook {

enum class SymbolFont { Symbol, Wingdings };

// The UTF-8 text of the character `font` draws for code `code` (0x20 to 0xFF, as Word writes the
// glyph in a page: Symbol's bullet 0xB7 as "·"); empty when the code is not one the table knows.
std::string_view SymbolFontCharacter(SymbolFont font, unsigned code);

}  // namespace quirebook
