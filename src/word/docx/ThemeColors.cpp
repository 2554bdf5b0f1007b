// Reads the theme's colour scheme and resolves Word's theme colour references with their tints
// and shades.
#include "word/docx/ThemeColors.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// WordprocessingML's names for the theme's colours and the scheme's own names.
struct SchemeName {
    std::string_view Word;
    std::string_view Scheme;
};

constexpr SchemeName kSchemeNames[] = {
    {"dark1", "dk1"},       {"text1", "dk1"},
    {"light1", "lt1"},      {"background1", "lt1"},
    {"dark2", "dk2"},       {"text2", "dk2"},
    {"light2", "lt2"},      {"background2", "lt2"},
    {"accent1", "accent1"}, {"accent2", "accent2"},
    {"accent3", "accent3"}, {"accent4", "accent4"},
    {"accent5", "accent5"}, {"accent6", "accent6"},
    {"hyperlink", "hlink"}, {"followedHyperlink", "folHlink"},
};

bool IsHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// A two-digit hexadecimal fraction of 255 ("3F") as a number from 0 to 1; -1 when it is none.
double Fraction(std::string_view hex) {
    if (hex.size() != 2 || !IsHex(hex)) return -1;
    return std::stoi(std::string(hex), nullptr, 16) / 255.0;
}

}  // namespace

void ThemeColors::Load(const DocxPackage& package) {
    for (const auto& [id, relationship] : package.Relationships(package.MainDocumentPart())) {
        pugi::xml_document part;
        if (relationship.Type != "theme" || relationship.External ||
            !LoadOptionalWordPart(package, relationship.Target, part))
            continue;
        const pugi::xml_node scheme =
            part.document_element().child("a:themeElements").child("a:clrScheme");
        for (const pugi::xml_node entry : scheme.children()) {
            const std::string_view name = entry.name();
            if (name.size() < 3 || name.substr(0, 2) != "a:") continue;
            // A system colour keeps the value it had when the theme was saved.
            const pugi::xml_node value = entry.first_child();
            std::string_view hex = AttributeText(value, "val");
            if (std::string_view(value.name()) == "a:sysClr") hex = AttributeText(value, "lastClr");
            if (hex.size() == 6 && IsHex(hex)) m_scheme[std::string(name.substr(2))] = hex;
        }
        break;
    }
}

std::string ThemeColors::Resolve(std::string_view themeColor, std::string_view tint,
                                 std::string_view shade) const {
    // A tint keeps its share of the luminance and fills the rest with white; a shade keeps its
    // share and leaves the rest black.
    if (const double lighter = Fraction(tint); lighter >= 0)
        return Resolve(themeColor, lighter, 1 - lighter);
    if (const double darker = Fraction(shade); darker >= 0) return Resolve(themeColor, darker, 0);
    return Resolve(themeColor, 1.0, 0.0);
}

std::string ThemeColors::Resolve(std::string_view themeColor, double factor, double offset) const {
    std::string_view schemeName;
    for (const SchemeName& known : kSchemeNames)
        if (known.Word == themeColor) schemeName = known.Scheme;
    const auto found = m_scheme.find(schemeName);
    if (schemeName.empty() || found == m_scheme.end()) return {};
    double rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = std::stoi(found->second.substr(i * 2, 2), nullptr, 16) / 255.0;
    // Word changes the luminance in hue, luminance and saturation counted to 240, each
    // rounded, and cuts the channels of the colour it gives back to whole numbers: that gives
    // the values Word stores beside the theme's names ("DBE5F1" for accent 1 lighter by 80 %).
    const auto scale = [](double fraction) { return std::floor(fraction * 240 + 0.5) / 240; };
    const double high = std::max({rgb[0], rgb[1], rgb[2]});
    const double low = std::min({rgb[0], rgb[1], rgb[2]});
    const double chroma = high - low;
    const double luminance = scale((high + low) / 2);
    const double saturation = chroma == 0 ? 0 : scale(chroma / (1 - std::fabs(high + low - 1)));
    double hue = 0;  // in turns
    if (chroma > 0) {
        if (high == rgb[0])
            hue = std::fmod((rgb[1] - rgb[2]) / chroma + 6, 6) / 6;
        else if (high == rgb[1])
            hue = ((rgb[2] - rgb[0]) / chroma + 2) / 6;
        else
            hue = ((rgb[0] - rgb[1]) / chroma + 4) / 6;
    }
    hue = std::fmod(scale(hue), 1.0) * 6;  // in sixths of a turn
    const double changed = std::clamp(scale(luminance * factor + offset), 0.0, 1.0);
    const double newChroma = (1 - std::fabs(2 * changed - 1)) * saturation;
    const double second = newChroma * (1 - std::fabs(std::fmod(hue, 2) - 1));
    const double base = changed - newChroma / 2;
    const int sector = std::clamp(static_cast<int>(hue), 0, 5);
    const double sectors[6][3] = {{newChroma, second, 0}, {second, newChroma, 0},
                                  {0, newChroma, second}, {0, second, newChroma},
                                  {second, 0, newChroma}, {newChroma, 0, second}};
    std::string resolved;
    for (int i = 0; i < 3; ++i) {
        char digits[3];
        const double channel = std::floor((sectors[sector][i] + base) * 255 + 1e-9);
        std::snprintf(digits, sizeof digits, "%02X",
                      static_cast<unsigned>(std::clamp(channel, 0.0, 255.0)));
        resolved += digits;
    }
    return resolved;
}

std::string AttributeColor(pugi::xml_node element, const char* value, const char* themeColor,
                           const char* tint, const char* shade, const ThemeColors* theme) {
    // The value is the colour Word worked out from the theme when it saved the document; the
    // theme is read only where there is none.
    const std::string_view given = AttributeText(element, value);
    const bool known = given.size() == 6 && IsHex(given);
    if (known) return std::string(given);
    if (theme != nullptr) {
        std::string resolved =
            theme->Resolve(AttributeText(element, themeColor), AttributeText(element, tint),
                           AttributeText(element, shade));
        if (!resolved.empty()) return resolved;
    }
    return given == "auto" ? std::string(given) : std::string();
}

}  // namespace quirebook
