#include "word/docx/DocxFormats.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "word/docx/WordShading.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

template <typename T>
void Take(std::optional<T>& into, const std::optional<T>& from) {
    if (from) into = from;
}

struct NamedColor {
    std::string_view Hex;
    std::string_view Name;
};

constexpr NamedColor kHtmlColors[] = {
    {"000000", "black"},  {"C0C0C0", "silver"}, {"808080", "gray"},   {"FFFFFF", "white"},
    {"800000", "maroon"}, {"FF0000", "red"},    {"800080", "purple"}, {"FF00FF", "fuchsia"},
    {"008000", "green"},  {"00FF00", "lime"},   {"808000", "olive"},  {"FFFF00", "yellow"},
    {"000080", "navy"},   {"0000FF", "blue"},   {"008080", "teal"},   {"00FFFF", "aqua"},
};

// Word's highlight colour names and the CSS colours it writes for them.
struct Highlight {
    std::string_view Word;
    std::string_view Css;
};

constexpr Highlight kHighlights[] = {
    {"black", "black"},      {"blue", "blue"},        {"cyan", "aqua"},
    {"green", "lime"},       {"magenta", "fuchsia"},  {"red", "red"},
    {"yellow", "yellow"},    {"white", "white"},      {"darkBlue", "navy"},
    {"darkCyan", "teal"},    {"darkGreen", "green"},  {"darkMagenta", "purple"},
    {"darkRed", "maroon"},   {"darkYellow", "olive"}, {"darkGray", "gray"},
    {"lightGray", "silver"},
};

void ReadFont(pugi::xml_node fonts, const DocxFonts& table, RunFormat& format) {
    std::string name;
    if (const std::string_view theme = AttributeText(fonts, "w:asciiTheme"); !theme.empty())
        name = table.ThemeFont(theme);
    if (name.empty()) name = SafeFontName(AttributeText(fonts, "w:ascii"));
    if (name.empty()) name = SafeFontName(AttributeText(fonts, "w:hAnsi"));
    if (!name.empty()) format.Font = name;
}

// The CSS line style of an underline of Word's kind `value` ("dottedHeavy", "dashLong"); empty
// for a plain or thick line, which CSS draws as one.
std::string UnderlineStyle(std::string_view value) {
    if (value == "double") return "double";
    if (value.starts_with("wav")) return "wavy";
    if (value.find("ash") != std::string_view::npos) return "dashed";  // "dash", "dotDotDash"
    if (value.starts_with("dot")) return "dotted";
    return {};
}

std::string Alignment(std::string_view justification) {
    if (justification == "center") return "center";
    if (justification == "right" || justification == "end") return "right";
    if (justification == "left" || justification == "start") return "left";
    if (justification == "both" || justification == "distribute" ||
        justification.starts_with("thai") || justification.ends_with("Kashida"))
        return "justify";
    return {};
}

}  // namespace

std::string CssColor(std::string_view wordColor) {
    if (wordColor == "auto") return "windowtext";
    if (wordColor.size() != 6 || !std::all_of(wordColor.begin(), wordColor.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        }))
        return {};
    std::string hex(wordColor);
    std::transform(hex.begin(), hex.end(), hex.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
    for (const NamedColor& color : kHtmlColors)
        if (color.Hex == hex) return std::string(color.Name);
    return '#' + hex;
}

void RunFormat::Overlay(const RunFormat& over) {
    Take(Bold, over.Bold);
    Take(Italic, over.Italic);
    Take(Underline, over.Underline);
    Take(Strike, over.Strike);
    Take(LineStyle, over.LineStyle);
    Take(Caps, over.Caps);
    Take(SmallCaps, over.SmallCaps);
    Take(Hidden, over.Hidden);
    Take(HalfPoints, over.HalfPoints);
    Take(Font, over.Font);
    Take(Color, over.Color);
    Take(Background, over.Background);
    Take(VerticalAlign, over.VerticalAlign);
    Take(Spacing, over.Spacing);
    Take(Language, over.Language);
    Take(BidiLanguage, over.BidiLanguage);
    Take(RightToLeft, over.RightToLeft);
}

void ParagraphFormat::Overlay(const ParagraphFormat& over) {
    Take(SpaceBefore, over.SpaceBefore);
    Take(SpaceAfter, over.SpaceAfter);
    Take(Left, over.Left);
    Take(Right, over.Right);
    Take(FirstLine, over.FirstLine);
    Take(Alignment, over.Alignment);
    Take(Line, over.Line);
    Take(LineRule, over.LineRule);
    Take(PageBreakBefore, over.PageBreakBefore);
    Take(KeepNext, over.KeepNext);
    Take(KeepLines, over.KeepLines);
    Take(ContextualSpacing, over.ContextualSpacing);
    Take(Background, over.Background);
    Take(NumberingId, over.NumberingId);
    Take(NumberingLevel, over.NumberingLevel);
    Take(Bidi, over.Bidi);
    Borders.Overlay(over.Borders);
}

ParagraphFormat PhysicalSides(const ParagraphFormat& format) {
    ParagraphFormat shown = format;
    if (!format.Bidi.value_or(false)) return shown;
    std::swap(shown.Left, shown.Right);
    const std::string alignment = format.Alignment.value_or("left");
    if (alignment == "left") shown.Alignment = "right";
    if (alignment == "right") shown.Alignment = "left";
    return shown;
}

void ReadRunFormat(pugi::xml_node rPr, const DocxFonts& fonts, RunFormat& format) {
    std::optional<std::string> highlight;
    std::optional<std::string> shading;
    for (const pugi::xml_node property : rPr.children()) {
        const std::string_view name = property.name();
        if (name == "w:b")
            format.Bold = ToggleValue(property);
        else if (name == "w:i")
            format.Italic = ToggleValue(property);
        else if (name == "w:strike")
            format.Strike = ToggleValue(property);
        else if (name == "w:dstrike") {
            format.Strike = ToggleValue(property);
            if (*format.Strike) format.LineStyle = "double";
        } else if (name == "w:caps")
            format.Caps = ToggleValue(property);
        else if (name == "w:smallCaps")
            format.SmallCaps = ToggleValue(property);
        else if (name == "w:vanish" || name == "w:webHidden")
            format.Hidden = ToggleValue(property);
        else if (name == "w:u") {
            const std::string_view value = AttributeText(property);
            format.Underline = !value.empty() && value != "none";
            if (*format.Underline) format.LineStyle = UnderlineStyle(value);
        } else if (name == "w:sz") {
            const long size = NumberAttribute(property, "w:val", 0);
            if (size > 0 && size <= 3276) format.HalfPoints = size;
        } else if (name == "w:rFonts") {
            ReadFont(property, fonts, format);
        } else if (name == "w:color") {
            if (std::string color = CssColor(AttributeText(property)); !color.empty())
                format.Color = color;
        } else if (name == "w:highlight") {
            const std::string_view value = AttributeText(property);
            highlight = std::string();
            for (const Highlight& known : kHighlights)
                if (known.Word == value) highlight = std::string(known.Css);
        } else if (name == "w:shd") {
            shading = ShadingColor(property).value_or("");
        } else if (name == "w:vertAlign") {
            const std::string_view value = AttributeText(property);
            if (value == "superscript")
                format.VerticalAlign = "super";
            else if (value == "subscript")
                format.VerticalAlign = "sub";
            else if (value == "baseline")
                format.VerticalAlign = "baseline";
        } else if (name == "w:spacing") {
            format.Spacing = std::clamp(NumberAttribute(property, "w:val", 0), -31680L, 31680L);
        } else if (name == "w:lang") {
            const std::string_view value = AttributeText(property);
            if (!value.empty()) format.Language = std::string(value);
            const std::string_view bidi = AttributeText(property, "w:bidi");
            if (!bidi.empty()) format.BidiLanguage = std::string(bidi);
        } else if (name == "w:rtl") {
            format.RightToLeft = ToggleValue(property);
        }
    }
    // The highlight is drawn over the shading.
    if (highlight && !highlight->empty())
        format.Background = highlight;
    else if (shading && !shading->empty())
        format.Background = shading;
}

void ReadParagraphFormat(pugi::xml_node pPr, ParagraphFormat& format) {
    constexpr long kIndentLimit = 31680;  // 22 inches, Word's own bound
    for (const pugi::xml_node property : pPr.children()) {
        const std::string_view name = property.name();
        if (name == "w:spacing") {
            const auto take = [&](const char* attribute, const char* automatic,
                                  std::optional<long>& into) {
                const std::string_view automaticValue = AttributeText(property, automatic);
                if (!automaticValue.empty() && automaticValue != "0" && automaticValue != "false" &&
                    automaticValue != "off")
                    into = 280;  // Word's automatic spacing between web paragraphs: 14 points
                else if (property.attribute(attribute))
                    into = std::clamp(NumberAttribute(property, attribute, 0), 0L, kIndentLimit);
            };
            take("w:before", "w:beforeAutospacing", format.SpaceBefore);
            take("w:after", "w:afterAutospacing", format.SpaceAfter);
            if (!property.attribute("w:line").empty()) {
                format.Line =
                    std::clamp(NumberAttribute(property, "w:line", 240), 1L, kIndentLimit);
                const std::string_view rule = AttributeText(property, "w:lineRule");
                format.LineRule = rule.empty() ? "auto" : std::string(rule);
            }
        } else if (name == "w:ind") {
            const auto indent =
                [&](std::initializer_list<const char*> names) -> std::optional<long> {
                for (const char* attribute : names)
                    if (!property.attribute(attribute).empty())
                        return std::clamp(NumberAttribute(property, attribute, 0), -kIndentLimit,
                                          kIndentLimit);
                return std::nullopt;
            };
            if (auto left = indent({"w:left", "w:start"})) format.Left = left;
            if (auto right = indent({"w:right", "w:end"})) format.Right = right;
            if (auto hanging = indent({"w:hanging"}))
                format.FirstLine = -*hanging;
            else if (auto first = indent({"w:firstLine"}))
                format.FirstLine = first;
        } else if (name == "w:jc") {
            if (std::string alignment = Alignment(AttributeText(property)); !alignment.empty())
                format.Alignment = alignment;
        } else if (name == "w:bidi") {
            format.Bidi = ToggleValue(property);
        } else if (name == "w:pageBreakBefore") {
            format.PageBreakBefore = ToggleValue(property);
        } else if (name == "w:keepNext") {
            format.KeepNext = ToggleValue(property);
        } else if (name == "w:keepLines") {
            format.KeepLines = ToggleValue(property);
        } else if (name == "w:contextualSpacing") {
            format.ContextualSpacing = ToggleValue(property);
        } else if (name == "w:shd") {
            if (std::string color = ShadingColor(property).value_or(""); !color.empty())
                format.Background = color;
        } else if (name == "w:pBdr") {
            format.Borders = ReadBorderEdges(property, nullptr);
        } else if (name == "w:numPr") {
            if (const pugi::xml_node id = property.child("w:numId"))
                format.NumberingId = NumberAttribute(id, "w:val", 0);
            if (const pugi::xml_node level = property.child("w:ilvl"))
                format.NumberingLevel = std::clamp(NumberAttribute(level, "w:val", 0), 0L, 8L);
        }
    }
}

}  // namespace quirebook
