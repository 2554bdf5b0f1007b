// An equation written as XHTML 1.1 for books without MathML (EPUB 2): identifiers in italics,
// scripts in sub and sup, fractions, limits and accents stacked, roots with their line, tables
// as tables, all in spans styled inline, so that the equation reads right with any style sheet.
#pragma once

#include <string>

#include "html/MathTree.h"

namespace quirebook {

// `math` (a math element) as a span of XHTML 1.1 inline content, classed "math", titled with
// its alttext (or its linear form when it has none), a block of its own (centred) when its
// display is "block". With `linear` (where no markup may stand, such as preformatted text) the
// span holds the linear form alone.
std::string MathAsXhtml(const MathElement& math, bool linear = false);

}  // namespace quirebook
