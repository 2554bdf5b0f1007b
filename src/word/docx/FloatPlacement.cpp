#include "word/docx/FloatPlacement.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "word/docx/WordUnits.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

constexpr long kEmuPerTwip = 635;
constexpr long kLongest = 31680 * 2;  // twentieths of a point: twice Word's widest page

long EmuToTwips(long emu) {
    return std::clamp(emu / kEmuPerTwip, -kLongest, kLongest);
}

// A VML length in twentieths of a point; 0 when it is none.
long VmlTwips(std::string_view length) {
    const std::optional<double> points = VmlLengthPoints(length);
    return points ? std::clamp(static_cast<long>(*points * 20), -kLongest, kLongest) : 0;
}

// The side an alignment names ("inside" and "outside" as on a right-hand page).
std::string AlignedSide(std::string_view alignment) {
    if (alignment == "left" || alignment == "inside") return "left";
    if (alignment == "right" || alignment == "outside") return "right";
    return {};  // centred: it stands between the text
}

long TextWidth(const SectionLayout& section) {
    return std::max(section.Width - section.Left - section.Right, 1L);
}

// The side a drawing `width` wide at `offset` from the start of the line mostly stands on.
std::string OffsetSide(long offset, long width, bool rightToLeft, const SectionLayout& section) {
    const bool nearStart = offset + width / 2 < TextWidth(section) / 2;
    return nearStart != rightToLeft ? "left" : "right";
}

FloatPlacement DrawingPlacement(pugi::xml_node anchor, bool rightToLeft,
                                const SectionLayout& section) {
    FloatPlacement placement;
    if (!anchor.child("wp:wrapSquare") && !anchor.child("wp:wrapTight") &&
        !anchor.child("wp:wrapThrough"))
        return placement;
    placement.Width = EmuToTwips(NumberAttribute(anchor.child("wp:extent"), "cx", 0));
    const pugi::xml_node position = anchor.child("wp:positionH");
    if (const pugi::xml_node align = position.child("wp:align"))
        placement.Side = AlignedSide(align.child_value());
    else
        placement.Side = OffsetSide(
            EmuToTwips(std::strtol(position.child("wp:posOffset").child_value(), nullptr, 10)),
            placement.Width, rightToLeft, section);
    const char* gap = placement.Side == "left" ? "distR" : "distL";
    placement.Gap = std::clamp(EmuToTwips(NumberAttribute(anchor, gap, 0)), 0L, kLongest);
    return placement;
}

FloatPlacement ShapePlacement(pugi::xml_node shape, bool rightToLeft,
                              const SectionLayout& section) {
    FloatPlacement placement;
    const std::string_view style = AttributeText(shape, "style");
    const std::string_view wrap = AttributeText(shape.child("w10:wrap"), "type");
    if (VmlStyleValue(style, "position") != "absolute" ||
        (wrap != "square" && wrap != "tight" && wrap != "through"))
        return placement;
    placement.Width = std::max(VmlTwips(VmlStyleValue(style, "width")), 0L);
    const std::string_view alignment = VmlStyleValue(style, "mso-position-horizontal");
    placement.Side = !alignment.empty() && alignment != "absolute"
                         ? AlignedSide(alignment)
                         : OffsetSide(VmlTwips(VmlStyleValue(style, "margin-left")),
                                      placement.Width, rightToLeft, section);
    placement.Gap = 180;  // Word's default wrapping distance: 9 points
    return placement;
}

// The placement of the drawing or shape around `node`, without the text width.
FloatPlacement FindPlacement(pugi::xml_node node, bool rightToLeft, const SectionLayout& section) {
    for (int step = 0; node && step < 64; ++step, node = node.parent()) {
        if (IsElement(node, "wp:inline") || IsElement(node, "w:p")) break;
        if (IsElement(node, "wp:anchor")) return DrawingPlacement(node, rightToLeft, section);
        const std::string_view name = node.name();
        if (name.starts_with("v:") && !AttributeText(node, "style").empty() &&
            node.child("w10:wrap"))
            return ShapePlacement(node, rightToLeft, section);
    }
    return {};
}

}  // namespace

FloatPlacement PlaceFloat(pugi::xml_node node, bool rightToLeft, const SectionLayout& section) {
    FloatPlacement placement = FindPlacement(node, rightToLeft, section);
    placement.TextWidth = TextWidth(section);
    // A drawing as wide as the text has no text beside it: it stands in line.
    if (placement.Width >= placement.TextWidth) placement.Side.clear();
    return placement;
}

std::string FloatStyle(const FloatPlacement& placement, bool sized) {
    if (placement.Side.empty()) return {};
    // Drawings floating on one side stand one below the other, as Word anchors them down a
    // margin, not side by side.
    std::string css = "float:" + placement.Side + ";clear:" + placement.Side;
    if (sized && placement.Width > 0)
        css += ";width:" +
               std::to_string(std::min(placement.Width * 100 / placement.TextWidth, 100L)) + '%';
    return css + (placement.Side == "left" ? ";margin-right:" : ";margin-left:") +
           TwipsAsPointsText(placement.Gap);
}

}  // namespace quirebook
