// Font sizes that stand inside sized elements. A Word document gives every size in points, and
// the book's style sheet gives each as a quotient of the body text's size ("em"); but an em is a
// quotient of the size of the element around it, so a 16-point run in a 14-point heading would
// come out 16 × 14 / 12 points. This step writes such a nested size as a quotient of the size
// around it, so that every size is shown as the document gives it.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// `body` (the HTML of a page's body) with the em and % font sizes of `style` (a style sheet whose
// sizes are quotients of the body text's size) made right where they nest: an element whose own
// size is set, inside an element whose size is not the body text's, gets the quotient of the two
// in its style attribute ("font-size:1.1em", after any size the attribute has, so that it wins).
// Sizes in absolute units and keywords do not nest and are left alone; a page with no em or %
// size other than 1 is returned as it is.
std::string WithNestedFontSizes(std::string_view body, std::string_view style);

}  // namespace quirebook
