// Turns Word's shading patterns into the one colour a reader sees.
#include "word/docx/WordShading.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "word/docx/DocxFormats.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// The share of the area a pattern colours: "pct15" 15 %, thin hatchings a quarter, the
// others half.
double PatternShare(std::string_view pattern) {
    if (pattern.empty() || pattern == "clear") return 0;
    if (pattern == "solid") return 1;
    if (pattern.starts_with("pct")) {
        double percent = 0;
        for (const char c : pattern.substr(3)) {
            if (c < '0' || c > '9') return 0.5;
            percent = percent * 10 + (c - '0');
        }
        return std::fmin(percent, 100) / 100;
    }
    return pattern.starts_with("thin") ? 0.25 : 0.5;
}

// `over` at `share` over `under`, both six hexadecimal digits.
std::string Mixed(const std::string& over, const std::string& under, double share) {
    std::string mixed;
    for (std::size_t i = 0; i < 6; i += 2) {
        const double top = std::stoi(over.substr(i, 2), nullptr, 16);
        const double bottom = std::stoi(under.substr(i, 2), nullptr, 16);
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X",
                      static_cast<unsigned>(std::lround(top * share + bottom * (1 - share))));
        mixed += digits;
    }
    return mixed;
}

}  // namespace

std::optional<std::string> ShadingColor(pugi::xml_node shd, const ThemeColors* theme) {
    if (!shd) return std::nullopt;
    const std::string_view pattern = AttributeText(shd);
    std::string fill =
        AttributeColor(shd, "w:fill", "w:themeFill", "w:themeFillTint", "w:themeFillShade", theme);
    std::string color =
        AttributeColor(shd, "w:color", "w:themeColor", "w:themeTint", "w:themeShade", theme);
    const double share = PatternShare(pattern);
    if (pattern == "nil" || (share == 0 && (fill.empty() || fill == "auto"))) return "";
    if (share == 0) return CssColor(fill);
    if (fill.empty() || fill == "auto") fill = "FFFFFF";
    if (color.empty() || color == "auto") color = "000000";
    return CssColor(Mixed(color, fill, share));
}

}  // namespace quirebook
