// An equation written on one line, as a reader reads it aloud or a search finds it: a
// TeX-like linear notation in Unicode ("ê_i = Σ_{j=1}^n e_j R_i^j", "x = (−b ± √(b^2 −
// 4ac))/(2a)"). It is the alttext of a math element and the title of its XHTML 1.1 form.
#pragma once

#include <string>

#include "html/MathTree.h"

namespace quirebook {

// The linear form of `math` (a math element or any part of one). Scripts follow "_" and "^",
// in braces when longer than one character; fractions are "a/b" with multi-part terms in
// parentheses ("n¦k" without a bar); roots "√x", "∛x", "√[n]x"; accents the combining mark on
// one character; table rows are separated by "; " and cells by ", "; relations and binary
// operators stand between spaces outside scripts.
std::string LinearMath(const MathElement& math);

}  // namespace quirebook
