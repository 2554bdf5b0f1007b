// The lines Word's shapes draw, as Word borders: the outline around a text box (the line of the
// DrawingML shape or the stroke of the VML shape that holds its content) and a horizontal rule;
// and the width of a text box, which its outline surrounds.
#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string>

#include "word/docx/ThemeColors.h"
#include "word/docx/WordBorders.h"

namespace quirebook {

// The outline of the shape holding `txbxContent` (a w:txbxContent): a DrawingML shape's
// wps:spPr/a:ln, else the line its style refers to; a VML shape's stroke (drawn unless
// switched off, black and three quarters of a point wide unless it says otherwise). Style
// "none" when the shape draws no line; nothing when no shape holds it.
std::optional<WordBorder> TextBoxOutline(pugi::xml_node txbxContent, const ThemeColors* theme);

// The width in points of the shape holding `txbxContent`: a DrawingML shape's own extent, else
// its drawing's; a VML shape's style width; 0 when it gives none.
double TextBoxWidth(pugi::xml_node txbxContent);

struct HorizontalRule {
    WordBorder Line;        // the bar, drawn as a line as wide as it is high
    double Percent = 100;   // its width, a share of the text's
    std::string Alignment;  // "left", "center" or "right"
};

// The horizontal rule a VML shape draws when it is one (o:hr="t"): its height, its fill colour
// (grey unless it says otherwise), its width in tenths of a percent of the text's (o:hrpct; 0
// for all of it) and its alignment; nothing for other shapes.
std::optional<HorizontalRule> ReadHorizontalRule(pugi::xml_node shape);

}  // namespace quirebook
