// The fonts of a Word document: the font table (family, panose numbers, symbol fonts) and the
// theme's heading and body fonts, and how a font is named in the page's CSS.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "word/docx/DocxPackage.h"

namespace quirebook {

struct DocxFont {
    std::string Panose;   // "2 11 6 4 2 2 2 2 2 4"; empty when the table gives none
    std::string Generic;  // the generic family its family and pitch give; empty when unknown
    bool Symbol = false;  // a symbol font (character set 02): its glyphs are its own
};

class DocxFonts {
  public:
    // Reads word/fontTable.xml and the theme of the main part; missing parts leave them empty.
    void Load(const DocxPackage& package);

    // The font a theme reference names ("minorHAnsi" -> "Calibri"); empty when unknown.
    std::string ThemeFont(std::string_view reference) const;

    // The table's entry for `name`, nullptr when it has none.
    const DocxFont* Find(const std::string& name) const;

    // `name` as a CSS font-family value with its generic family: "\"Consolas\",monospace" by the
    // table of common fonts, else by the font table's family and pitch; "\"B Nazanin\"" or
    // "Symbol" (a symbol font) without one.
    std::string CssFamily(const std::string& name) const;

  private:
    std::map<std::string, DocxFont> m_fonts;
    std::string m_majorLatin;
    std::string m_minorLatin;
};

// `name` without the characters that would break out of a CSS value or a quoted attribute.
std::string SafeFontName(std::string_view name);

// `name` quoted for CSS when it holds anything but letters and digits ("Tms Rmn" -> "\"Tms Rmn\"").
std::string QuotedFontName(const std::string& name);

}  // namespace quirebook
