// Test support: a Word document built from its parts whose looks come from table styles and
// borders: a table in a style like Word's "Light List" (a bold header row with a rule below it,
// shaded bands, coloured outer borders, colours from the theme), the same style with a cell's
// own shading and borders over it, a table half the text's width and centred in a style based
// on another, one three inches wide, paragraphs in a bordered box, a paragraph with a bottom
// rule, a horizontal rule and a text box with a coloured outline.
#pragma once

#include <map>
#include <string>

namespace quirebook::testing {

// The colours of the document's theme that its tables use.
inline constexpr const char* kAccentColor = "#4F81BD";  // accent1
inline constexpr const char* kBandColor = "#DBE5F1";    // accent1 with a tint of 33

// The document's parts: content types, relationships, document, styles and theme.
std::map<std::string, std::string> BorderedDocumentParts();

// A table of `rows` rows of three cells ("r1c1" ...) with table properties `properties`
// (the children of w:tblPr) and, for the cell "r2c2", cell properties `cellProperties`.
std::string ThreeColumnTable(const std::string& properties, int rows,
                             const std::string& cellProperties = "");

}  // namespace quirebook::testing
