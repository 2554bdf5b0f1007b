// VML pictures as plain images.
#include "word/VmlPictures.h"

#include <cmath>
#include <cstdlib>

#include "text/Regex.h"

namespace quirebook {

namespace {

// The double- or single-quoted (or bare) value of `name` in `tag`; empty when it has none.
std::string AttributeValue(const std::string& tag, std::string_view name) {
    Regex value(preCaseLess | preSingleLine);
    // A bare value ends before the "/" that closes an empty element.
    value.SetPattern("\\s" + std::string(name) +
                     "\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+?)(?=\\s|/?>|$))");
    value.SetSubject(tag);
    if (!value.MatchNext()) return {};
    return value.Submatch(1) + value.Submatch(2) + value.Submatch(3);
}

// A CSS length of the shape's style ("54pt", "1.5in", "120px") in whole pixels; 0 when it is
// none.
long LengthInPixels(const std::string& style, std::string_view property) {
    Regex length(preCaseLess);
    length.SetPattern("(?:^|[;\\s])" + std::string(property) +
                      "\\s*:\\s*([0-9]*\\.?[0-9]+)\\s*(pt|px|in|cm|mm)");
    length.SetSubject(style);
    if (!length.MatchNext()) return 0;
    const double number = std::strtod(length.Submatch(1).c_str(), nullptr);
    std::string unit = length.Submatch(2);
    for (char& c : unit) c = static_cast<char>(c | 0x20);
    const double perUnit = unit == "pt"   ? 96.0 / 72.0
                           : unit == "in" ? 96.0
                           : unit == "cm" ? 96.0 / 2.54
                           : unit == "mm" ? 96.0 / 25.4
                                          : 1.0;
    return std::lround(std::min(number * perUnit, 100000.0));
}

std::string EscapedAttribute(const std::string& value) {
    std::string escaped;
    for (const char c : value) escaped += c == '"' ? std::string("&quot;") : std::string(1, c);
    return escaped;
}

// The width and height attributes of the shape's size, each with a blank before it.
std::string ShapeSize(const std::string& shapeTag) {
    const std::string style = AttributeValue(shapeTag, "style");
    std::string size;
    if (const long width = LengthInPixels(style, "width"); width > 0)
        size += " width=" + std::to_string(width);
    if (const long height = LengthInPixels(style, "height"); height > 0)
        size += " height=" + std::to_string(height);
    return size;
}

// The images a shape stands for; empty when it shows no picture. An image the shape holds
// without a size of its own is shown at the shape's.
std::string ShapeImages(const std::string& shapeTag, const std::string& inner) {
    Regex images(preCaseLess | preSingleLine);
    images.SetPattern("<img\\s[^>]*>");
    images.SetSubject(inner);
    std::string kept;
    while (images.MatchNext()) {
        std::string image = images.MatchedText();
        if (AttributeValue(image, "width").empty() && AttributeValue(image, "height").empty())
            image.insert(4, ShapeSize(shapeTag));
        kept += image;
    }
    if (!kept.empty()) return kept;

    Regex data(preCaseLess | preSingleLine);
    data.SetPattern("<v:imagedata\\s[^>]*>");
    data.SetSubject(inner);
    if (!data.MatchNext()) return {};
    const std::string imageData = data.MatchedText();
    const std::string source = AttributeValue(imageData, "src");
    if (source.empty()) return {};
    std::string image = "<img" + ShapeSize(shapeTag);
    image += " src=\"" + EscapedAttribute(source) + "\" alt=\"" +
             EscapedAttribute(AttributeValue(imageData, "o:title")) + "\">";
    return image;
}

}  // namespace

std::string VmlPicturesAsImages(std::string_view text) {
    // A conditional comment is matched whole, so that the shapes inside it are passed over.
    Regex shapes(preCaseLess | preSingleLine);
    shapes.SetPattern("<!--\\[if.+?<!\\[endif\\]-->|(<v:shape\\b[^>]*>)(.*?)</v:shape>");
    shapes.SetSubject(std::string(text));
    std::string result;
    std::size_t copied = 0;  // 0-based
    while (shapes.MatchNext()) {
        if (shapes.Submatch(1).empty()) continue;
        const std::string images = ShapeImages(shapes.Submatch(1), shapes.Submatch(2));
        if (images.empty()) continue;
        const std::size_t start = shapes.MatchStart() - 1;
        result.append(text, copied, start - copied);
        result += images;
        copied = shapes.MatchEnd() - 1;
    }
    if (copied == 0) return std::string(text);
    result.append(text, copied);
    return result;
}

}  // namespace quirebook
