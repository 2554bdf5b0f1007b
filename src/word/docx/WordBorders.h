// The borders Word draws around tables, cells, paragraphs and text boxes, and the one CSS
// declaration value that draws each of them.
#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string>

#include "word/docx/ThemeColors.h"

namespace quirebook {

struct WordBorder {
    // The CSS line style: "solid", "double", "dotted", "dashed", "ridge", "groove", "inset",
    // "outset", or "none" for a border that is switched off.
    std::string Style = "none";
    double Points = 0;       // the width of the line Word draws
    std::string Color;       // six hexadecimal digits, "auto" or empty (automatic)
    double SpacePoints = 0;  // the room between the border and the text
    bool operator==(const WordBorder&) const = default;
};

// A border element (w:top, w:insideH, w:between ... of w:tblBorders, w:tcBorders or w:pBdr):
// its style from w:val (sizes in eighths of a point in w:sz, the room in points in w:space,
// the colour in w:color or the theme's w:themeColor); nothing when `border` is absent.
std::optional<WordBorder> ReadWordBorder(pugi::xml_node border, const ThemeColors* theme);

// The value of a CSS border property drawing `border`: "solid windowtext 1.0pt",
// "double #4F81BD 2.25pt", "none". Word draws thinner lines than a screen shows, so a line is
// at least a point wide and a double line wide enough to show its two strokes.
std::string BorderCss(const WordBorder& border);

// The borders of the four sides of a box and those between its parts (rows and columns of
// a table, paragraphs of a bordered group), each set or left to the layer beneath.
struct BorderEdges {
    std::optional<WordBorder> Top, Left, Bottom, Right, InsideH, InsideV;

    void Overlay(const BorderEdges& over);
    bool operator==(const BorderEdges&) const = default;
    // Whether some side draws a line.
    bool Draws() const;
};

// The children of w:tblBorders, w:tcBorders or w:pBdr ("start" and "end" read as left and
// right, a paragraph's "between" as InsideH).
BorderEdges ReadBorderEdges(pugi::xml_node borders, const ThemeColors* theme);

// CSS declarations drawing the four sides: "border:solid windowtext 1.0pt" when they are
// alike, else one declaration for each side that is set ("border-top:...;border-left:none").
std::string EdgesCss(const std::optional<WordBorder>& top, const std::optional<WordBorder>& left,
                     const std::optional<WordBorder>& bottom,
                     const std::optional<WordBorder>& right);

}  // namespace quirebook
