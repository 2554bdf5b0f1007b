// Which font sizes epubcheck takes: it reports a font-size (or the size in a font shorthand)
// that is no length in the units it knows, percentage, 0, function or CSS 2 keyword, although
// CSS allows more ("unset", "1q", "math").
#pragma once

#include <string_view>

#include "css/CssTokens.h"

namespace quirebook {

// Whether the component value starting with `token` (of `css`) is a font size epubcheck takes:
// a length in px, em, ex, pt, pc, in, cm, mm, rem, ch, vw, vh, vmin or vmax, a percentage, 0
// (written so), a function, a string, or one of "xx-small" to "xx-large", "larger", "smaller"
// and "inherit"; numbers with an exponent are not taken. `inShorthand`: the size of a font
// shorthand, where no function or string is taken. Other tokens (delimiters) are taken.
bool IsAcceptedFontSize(std::string_view css, const CssToken& token, bool inShorthand);

}  // namespace quirebook
