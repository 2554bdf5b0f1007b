// Where a floating picture or text box of a Word document stands: the side of the text it
// floats to, and its width, as a page floats it (float:left or float:right).
#pragma once

#include <pugixml.hpp>

#include <string>

#include "word/docx/DocxSections.h"

namespace quirebook {

struct FloatPlacement {
    std::string Side;    // "left" or "right"; empty for a drawing that does not float
    long Width = 0;      // twentieths of a point; 0 when the drawing gives none
    long TextWidth = 1;  // the width of the section's text, twentieths of a point
    long Gap = 0;        // the room kept between it and the text, twentieths of a point
};

// The placement of the floating drawing (wp:anchor) or shape (VML, absolutely positioned) that
// holds `node` (a picture, a text box's content). It floats when the text wraps around it
// (square, tight or through). Its side is the one its alignment names, else the side its
// offset puts most of it on; the offset counts from the start of its paragraph's line, the
// right side in a right-to-left paragraph (`rightToLeft`). `section` gives the text width; a
// drawing as wide does not float.
FloatPlacement PlaceFloat(pugi::xml_node node, bool rightToLeft, const SectionLayout& section);

// The placement as a style attribute's declarations: the float below the drawings floating
// on its side, the gap on the side of the text and, when `sized` and the drawing has a width,
// that width as a share of the text width ("float:right;clear:right;width:40%;
// margin-left:9.0pt"). Empty for a drawing that does not float.
std::string FloatStyle(const FloatPlacement& placement, bool sized);

}  // namespace quirebook
