// The colour scheme of a Word document's theme, and the colours Word's theme references name:
// "accent1" with a tint of "3F" is the theme's first accent colour lightened towards white.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "word/docx/DocxPackage.h"

namespace quirebook {

class ThemeColors {
  public:
    // Reads the colour scheme of the theme of the main part; without one no colour is known.
    void Load(const DocxPackage& package);

    // The colour `themeColor` names ("text1", "background2", "accent3", "hyperlink"), made
    // lighter by `tint` or darker by `shade` (hexadecimal fractions of 255, "BF"; empty for
    // none), as six hexadecimal digits ("4F81BD"); empty when the theme does not give it.
    std::string Resolve(std::string_view themeColor, std::string_view tint = {},
                        std::string_view shade = {}) const;
    // The same with the luminance of the colour multiplied by `factor` and raised by `offset`
    // (fractions of the whole), as DrawingML's a:lumMod and a:lumOff change it. DrawingML's
    // own names ("tx1", "bg2", "dk1") are understood too.
    std::string Resolve(std::string_view themeColor, double factor, double offset) const;

  private:
    std::map<std::string, std::string, std::less<>> m_scheme;  // "dk1" -> "000000"
};

// The colour an element gives in its attributes `value` ("w:color": six hexadecimal digits or
// "auto"), `themeColor`, `tint` and `shade` ("w:themeColor" ...): the value when it is a
// colour, else the theme's colour when `theme` gives it; "auto" for Word's automatic colour;
// empty when it gives none.
std::string AttributeColor(pugi::xml_node element, const char* value, const char* themeColor,
                           const char* tint, const char* shade, const ThemeColors* theme);

}  // namespace quirebook
