// Which runs of a right-to-left paragraph are left-to-right text that the page isolates
// (dir=LTR), so that a Latin name or a line of code keeps its order and its punctuation.
#pragma once

#include <pugixml.hpp>

#include "word/docx/DocxFormats.h"

namespace quirebook {

// Whether run `run`, formatted `format`, of a right-to-left paragraph is left-to-right text: it
// is not right-to-left text (w:rtl) and holds letters of a left-to-right script and none of a
// right-to-left one, or it is code (`code`: a monospaced font or a code style) without
// right-to-left letters. A run of spaces, digits or punctuation alone is left-to-right when it
// continues left-to-right text (`continuing`) and holds digits, which read with the letters
// before them, or the next run with letters carries that text on, so that the space between
// two Latin words stays between them.
bool IsLeftToRightRun(pugi::xml_node run, const RunFormat& format, bool code, bool continuing);

}  // namespace quirebook
