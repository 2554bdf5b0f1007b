// Reads the lines of Word's shapes: a text box's outline and width (DrawingML or VML) and a
// horizontal rule.
#include "word/docx/ShapeOutline.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

constexpr double kEmuPerPoint = 12700;

// The colour of a DrawingML colour element's parent (a:solidFill, a:lnRef): six hexadecimal
// digits; empty when it has none this reads.
std::string DrawingColor(pugi::xml_node holder, const ThemeColors* theme) {
    for (const pugi::xml_node color : holder.children()) {
        const std::string_view name = color.name();
        const std::string_view value = AttributeText(color, "val");
        if (name == "a:srgbClr" && value.size() == 6) return std::string(value);
        if (name == "a:sysClr") return std::string(AttributeText(color, "lastClr"));
        if (name == "a:prstClr") return value == "white" ? "FFFFFF" : "000000";
        if (name == "a:schemeClr" && theme != nullptr)
            return theme->Resolve(value,
                                  NumberAttribute(color.child("a:lumMod"), "val", 100000) / 1e5,
                                  NumberAttribute(color.child("a:lumOff"), "val", 0) / 1e5);
    }
    return {};
}

std::string DashStyle(std::string_view dash) {
    if (dash.empty() || dash == "solid") return "solid";
    return dash.find("ash") != std::string_view::npos ? "dashed" : "dotted";
}

std::optional<WordBorder> DrawingOutline(pugi::xml_node shape, const ThemeColors* theme) {
    WordBorder border;
    const pugi::xml_node line = shape.child("wps:spPr").child("a:ln");
    if (line.child("a:noFill")) return border;
    const pugi::xml_node reference = shape.child("wps:style").child("a:lnRef");
    std::string color = DrawingColor(line.child("a:solidFill"), theme);
    if (!line.child("a:solidFill")) {
        // Without a fill of its own the line is the one its style refers to, if any.
        if (NumberAttribute(reference, "idx", 0) <= 0) return border;
        color = DrawingColor(reference, theme);
    }
    border.Style = AttributeText(line, "cmpd") == "dbl"
                       ? "double"
                       : DashStyle(AttributeText(line.child("a:prstDash"), "val"));
    border.Points = NumberAttribute(line, "w", 9525) / kEmuPerPoint;
    border.Color = color;
    return border;
}

// A VML length ("1pt", ".5pt", "2px", "0.02in") in points; `fallback` when it is none.
double VmlPoints(std::string_view text, double fallback) {
    const std::string value(text);
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || !(number >= 0) || number > 1000) return fallback;
    const std::string_view unit(end);
    if (unit == "px") return number * 0.75;
    if (unit == "in") return number * 72;
    if (unit == "cm") return number * 72 / 2.54;
    if (unit == "mm") return number * 72 / 25.4;
    if (unit.empty()) return number / kEmuPerPoint;  // a bare number counts English Metric Units
    return number;
}

// A VML colour ("black", "#4f81bd", "#4f81bd [3204]") as six hexadecimal digits.
std::string VmlColor(std::string_view text) {
    text = text.substr(0, text.find(' '));
    if (text.size() == 7 && text[0] == '#') return std::string(text.substr(1));
    if (text.size() == 4 && text[0] == '#')
        return {text[1], text[1], text[2], text[2], text[3], text[3]};
    if (text == "white") return "FFFFFF";
    if (text == "red") return "FF0000";
    if (text == "blue") return "0000FF";
    if (text == "green") return "008000";
    if (text == "gray" || text == "grey") return "808080";
    return "000000";
}

bool VmlFalse(std::string_view value) {
    return value == "f" || value == "false" || value == "0";
}

WordBorder VmlOutline(pugi::xml_node shape) {
    WordBorder border;
    const pugi::xml_node stroke = shape.child("v:stroke");
    if (VmlFalse(AttributeText(shape, "stroked")) || VmlFalse(AttributeText(stroke, "on")))
        return border;
    const std::string_view lineStyle = AttributeText(stroke, "linestyle");
    border.Style = !lineStyle.empty() && lineStyle != "single"
                       ? "double"
                       : DashStyle(AttributeText(stroke, "dashstyle"));
    border.Points = VmlPoints(AttributeText(shape, "strokeweight"), 0.75);
    border.Color = VmlColor(AttributeText(shape, "strokecolor"));
    return border;
}

// The value of `property` in a VML style attribute ("width:0;height:1.5pt"); empty when absent.
std::string_view StyleValue(std::string_view style, std::string_view property) {
    for (std::size_t at = style.find(property); at != std::string_view::npos;
         at = style.find(property, at + 1)) {
        const std::size_t colon = at + property.size();
        if ((at != 0 && style[at - 1] != ';' && style[at - 1] != ' ') || colon >= style.size() ||
            style[colon] != ':')
            continue;
        const std::size_t end = style.find(';', colon);
        return style.substr(colon + 1, end == std::string_view::npos ? end : end - colon - 1);
    }
    return {};
}

}  // namespace

double TextBoxWidth(pugi::xml_node txbxContent) {
    const pugi::xml_node holder = txbxContent.parent();
    if (IsElement(holder, "v:textbox"))
        return VmlPoints(StyleValue(AttributeText(holder.parent(), "style"), "width"), 0);
    if (!IsElement(holder, "wps:txbx")) return 0;
    const pugi::xml_node shape = holder.parent();
    long emu = NumberAttribute(shape.child("wps:spPr").child("a:xfrm").child("a:ext"), "cx", 0);
    for (pugi::xml_node node = shape.parent(); node && emu <= 0 && !IsElement(node, "w:drawing");
         node = node.parent())
        if (IsElement(node, "wp:inline") || IsElement(node, "wp:anchor"))
            emu = NumberAttribute(node.child("wp:extent"), "cx", 0);
    return emu > 0 ? emu / kEmuPerPoint : 0;
}

std::optional<HorizontalRule> ReadHorizontalRule(pugi::xml_node shape) {
    if (!std::string_view(shape.name()).starts_with("v:") ||
        VmlFalse(AttributeText(shape, "o:hr")) || AttributeText(shape, "o:hr").empty())
        return std::nullopt;
    HorizontalRule rule;
    rule.Line.Style = "solid";
    rule.Line.Points = VmlPoints(StyleValue(AttributeText(shape, "style"), "height"), 1.5);
    const std::string_view fill = AttributeText(shape, "fillcolor");
    rule.Line.Color = fill.empty() ? "A0A0A0" : VmlColor(fill);
    const long tenths = std::clamp(NumberAttribute(shape, "o:hrpct", 0), 0L, 1000L);
    if (tenths > 0) rule.Percent = tenths / 10.0;
    const std::string_view alignment = AttributeText(shape, "o:hralign");
    rule.Alignment = alignment == "left" || alignment == "right" ? alignment : "center";
    return rule;
}

std::optional<WordBorder> TextBoxOutline(pugi::xml_node txbxContent, const ThemeColors* theme) {
    const pugi::xml_node holder = txbxContent.parent();
    if (IsElement(holder, "wps:txbx")) return DrawingOutline(holder.parent(), theme);
    if (IsElement(holder, "v:textbox")) return VmlOutline(holder.parent());
    return std::nullopt;
}

}  // namespace quirebook
