// Reads Word's border elements and writes them as CSS borders.
#include "word/docx/WordBorders.h"

#include <algorithm>
#include <string_view>

#include "word/docx/DocxFormats.h"
#include "word/docx/WordUnits.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// The CSS style of Word's border kinds: lines of two or three strokes are double, the dashed
// kinds dashed, the three-dimensional ones as CSS draws them; art borders and waves solid.
std::string CssStyle(std::string_view kind) {
    if (kind.empty() || kind == "none" || kind == "nil") return "none";
    if (kind == "dotted") return "dotted";
    if (kind.find("ash") != std::string_view::npos) return "dashed";  // "dashed", "dotDash" ...
    if (kind == "double" || kind == "triple" || kind == "doubleWave" ||
        kind.starts_with("thinThick") || kind.starts_with("thickThin"))
        return "double";
    if (kind == "threeDEmboss") return "ridge";
    if (kind == "threeDEngrave") return "groove";
    if (kind == "inset" || kind == "outset") return std::string(kind);
    return "solid";
}

void AppendSide(std::string& css, const char* side, const std::optional<WordBorder>& border) {
    if (!border) return;
    if (!css.empty()) css += ';';
    css += std::string("border-") + side + ':' + BorderCss(*border);
}

}  // namespace

std::optional<WordBorder> ReadWordBorder(pugi::xml_node border, const ThemeColors* theme) {
    if (!border) return std::nullopt;
    WordBorder read;
    read.Style = CssStyle(AttributeText(border));
    if (read.Style == "none") return read;
    // Art borders give their width in points; the others in eighths of one, from 2 to 96.
    read.Points = std::clamp(NumberAttribute(border, "w:sz", 4), 0L, 96L) / 8.0;
    read.Color =
        AttributeColor(border, "w:color", "w:themeColor", "w:themeTint", "w:themeShade", theme);
    read.SpacePoints =
        static_cast<double>(std::clamp(NumberAttribute(border, "w:space", 0), 0L, 31L));
    return read;
}

std::string BorderCss(const WordBorder& border) {
    if (border.Style == "none") return "none";
    const double points =
        border.Style == "double" ? std::max(border.Points * 3, 2.25) : std::max(border.Points, 1.0);
    std::string color = border.Color.empty() ? std::string("windowtext") : CssColor(border.Color);
    if (color.empty()) color = "windowtext";
    return border.Style + ' ' + color + ' ' + WordNumber(points) + "pt";
}

void BorderEdges::Overlay(const BorderEdges& over) {
    for (auto [into, from] :
         {std::pair{&Top, &over.Top}, std::pair{&Left, &over.Left},
          std::pair{&Bottom, &over.Bottom}, std::pair{&Right, &over.Right},
          std::pair{&InsideH, &over.InsideH}, std::pair{&InsideV, &over.InsideV}})
        if (*from) *into = *from;
}

bool BorderEdges::Draws() const {
    for (const auto* side : {&Top, &Left, &Bottom, &Right, &InsideH, &InsideV})
        if (*side && (*side)->Style != "none") return true;
    return false;
}

BorderEdges ReadBorderEdges(pugi::xml_node borders, const ThemeColors* theme) {
    BorderEdges edges;
    const auto read = [&](const char* name, const char* alternative) {
        std::optional<WordBorder> border = ReadWordBorder(borders.child(name), theme);
        return border ? border : ReadWordBorder(borders.child(alternative), theme);
    };
    edges.Top = read("w:top", "w:top");
    edges.Left = read("w:left", "w:start");
    edges.Bottom = read("w:bottom", "w:bottom");
    edges.Right = read("w:right", "w:end");
    edges.InsideH = read("w:insideH", "w:between");
    edges.InsideV = read("w:insideV", "w:insideV");
    return edges;
}

std::string EdgesCss(const std::optional<WordBorder>& top, const std::optional<WordBorder>& left,
                     const std::optional<WordBorder>& bottom,
                     const std::optional<WordBorder>& right) {
    if (top && left && bottom && right) {
        const std::string all = BorderCss(*top);
        if (BorderCss(*left) == all && BorderCss(*bottom) == all && BorderCss(*right) == all)
            return "border:" + all;
    }
    std::string css;
    AppendSide(css, "top", top);
    AppendSide(css, "left", left);
    AppendSide(css, "bottom", bottom);
    AppendSide(css, "right", right);
    return css;
}

}  // namespace quirebook
