// The math of a parsed page (a MathML math element as gumbo parsed it) read as a MathElement
// tree that holds to MathML 3 presentation markup: its elements, the attributes they may carry
// with values they allow, and the number of children each needs.
#pragma once

#include <gumbo.h>

#include "html/MathTree.h"

namespace quirebook {

// The math element `math` (in the MathML namespace). Elements outside presentation MathML give
// their content (annotations and glyphs go); attributes that are unknown or hold values MathML
// does not allow go, ids and links with them; an element short of children gets empty rows, one
// with too many becomes a row of them; table rows and cells are made where a table lacks them;
// the text of HTML inside a token stays as its text. Nesting beyond a limit gives text.
MathElement ReadPageMath(const GumboElement& math);

}  // namespace quirebook
