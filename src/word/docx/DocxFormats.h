// Run and paragraph formatting of a Word document as layers: each property is either set by a
// layer or left to the one beneath (defaults, style chain, numbering level, direct formatting).
#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string>

#include "word/docx/DocxFonts.h"
#include "word/docx/WordBorders.h"

namespace quirebook {

struct RunFormat {
    std::optional<bool> Bold, Italic, Underline, Strike, Caps, SmallCaps, Hidden;
    std::optional<long> HalfPoints;         // font size
    std::optional<std::string> Font;        // the Latin font's name
    std::optional<std::string> Color;       // a CSS colour; "windowtext" for Word's automatic one
    std::optional<std::string> Background;  // a CSS colour, from the highlight or the shading
    std::optional<std::string> VerticalAlign;  // "super", "sub" or "baseline"
    std::optional<long> Spacing;               // letter spacing in twentieths of a point
    std::optional<std::string> Language;       // "en-US"
    std::optional<std::string> BidiLanguage;   // the language of right-to-left text: "fa-IR"
    std::optional<bool> RightToLeft;           // the run is right-to-left text
    // The line style of the underline or strikethrough: "double", "dotted", "dashed" or "wavy"
    // as CSS's text-decoration-style says; empty for a plain line.
    std::optional<std::string> LineStyle;

    // Takes every property `over` sets.
    void Overlay(const RunFormat& over);
};

struct ParagraphFormat {
    std::optional<long> SpaceBefore, SpaceAfter;  // twentieths of a point
    std::optional<long> Left, Right, FirstLine;   // FirstLine is negative for a hanging indent
    std::optional<std::string> Alignment;         // "left", "center", "right" or "justify"
    std::optional<long> Line;                     // line spacing: 240ths of a line when
    std::optional<std::string> LineRule;          // LineRule is "auto", else twentieths of a point
    std::optional<bool> PageBreakBefore, KeepNext, KeepLines, ContextualSpacing;
    std::optional<std::string> Background;  // a CSS colour
    std::optional<long> NumberingId, NumberingLevel;
    std::optional<bool> Bidi;  // a right-to-left paragraph: its alignment is read mirrored
    BorderEdges Borders;       // w:pBdr; InsideH is the border between paragraphs

    void Overlay(const ParagraphFormat& over);
};

// The format with its sides as the page lays them out: a right-to-left paragraph starts at the
// right, so Word's start (w:left, w:start) is its right side and its end its left, and its
// alignment is read mirrored too. A left-to-right format is given back as it is.
ParagraphFormat PhysicalSides(const ParagraphFormat& format);

// Adds the properties of a w:rPr element (any of its children Word defines) to `format`.
void ReadRunFormat(pugi::xml_node rPr, const DocxFonts& fonts, RunFormat& format);

// Adds the properties of a w:pPr element to `format` (its run properties and section are not
// paragraph formatting and are left alone).
void ReadParagraphFormat(pugi::xml_node pPr, ParagraphFormat& format);

// A colour as CSS: "3B006F" -> "#3B006F", "0000FF" -> "blue" (Word names the sixteen HTML
// colours), "auto" -> "windowtext"; empty when it is no colour.
std::string CssColor(std::string_view wordColor);

}  // namespace quirebook
