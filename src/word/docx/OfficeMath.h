// Word's equations (Office Math: m:oMath and what it holds) as MathML presentation markup:
// fractions, scripts, radicals, n-ary operators with limits, delimiters, accents, bars, group
// characters, limits, boxes, matrices, equation arrays and functions; math runs as identifiers,
// numbers, operators and text.
#pragma once

#include <pugixml.hpp>

#include <cstddef>

#include "html/MathTree.h"

namespace quirebook {

// The math element of equation `oMath`, with display="block" when `display`, and its linear
// form (LinearMath) as alttext. A part of it that is not understood keeps its text (as mtext)
// and adds one to `notUnderstood`.
MathElement OfficeMathToMathMl(pugi::xml_node oMath, bool display, std::size_t& notUnderstood);

// True when equation `oMath` is all its paragraph shows: Word shows it as a display equation,
// centred on a line of its own.
bool StandsAlone(pugi::xml_node oMath);

}  // namespace quirebook
