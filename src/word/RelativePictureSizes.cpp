// Pictures of a Word page at Word's size, as shares of the text or cell width they stand in.
#include "word/RelativePictureSizes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "css/NarrowScreenSheets.h"
#include "css/StyleRules.h"
#include "text/Regex.h"
#include "text/TextUtilities.h"
#include "word/VmlPictures.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr double kPointsPerPixel = 0.75;
// Word's page size when an @page rule gives margins and no size: Letter, in points.
constexpr double kLetterWidth = 612;
constexpr double kInchMargin = 72;
constexpr double kLongestLength = 720000;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

struct TagAttribute {
    std::string Name;  // lower case
    std::string Value;
    std::size_t Begin = 0;  // the first byte of its name in the tag
    std::size_t End = 0;    // past its value
};

// The attributes of the start tag `tag` ("<name ...>"), with their values unquoted.
std::vector<TagAttribute> ReadAttributes(std::string_view tag) {
    std::vector<TagAttribute> attributes;
    std::size_t at = 1;
    while (at < tag.size() && !IsBlank(tag[at]) && tag[at] != '>' && tag[at] != '/') ++at;
    while (at < tag.size()) {
        while (at < tag.size() && (IsBlank(tag[at]) || tag[at] == '/')) ++at;
        if (at >= tag.size() || tag[at] == '>') break;
        TagAttribute attribute;
        attribute.Begin = at;
        while (at < tag.size() && !IsBlank(tag[at]) && tag[at] != '=' && tag[at] != '>') ++at;
        attribute.Name = AsciiLower(tag.substr(attribute.Begin, at - attribute.Begin));
        std::size_t next = at;
        while (next < tag.size() && IsBlank(tag[next])) ++next;
        if (next < tag.size() && tag[next] == '=') {
            at = next + 1;
            while (at < tag.size() && IsBlank(tag[at])) ++at;
            if (at < tag.size() && (tag[at] == '"' || tag[at] == '\'')) {
                const std::size_t close = std::min(tag.find(tag[at], at + 1), tag.size());
                attribute.Value = tag.substr(at + 1, close - at - 1);
                at = std::min(close + 1, tag.size());
            } else {
                const std::size_t start = at;
                while (at < tag.size() && !IsBlank(tag[at]) && tag[at] != '>') ++at;
                attribute.Value = tag.substr(start, at - start);
            }
        }
        attribute.End = at;
        attributes.push_back(std::move(attribute));
    }
    return attributes;
}

const TagAttribute* FindAttribute(const std::vector<TagAttribute>& attributes,
                                  std::string_view name) {
    const auto found = std::find_if(attributes.begin(), attributes.end(),
                                    [&](const TagAttribute& a) { return a.Name == name; });
    return found == attributes.end() ? nullptr : &*found;
}

// The declarations of an inline style or of an @page rule's body.
std::vector<StyleDeclaration> ReadDeclarations(std::string_view style) {
    const std::vector<StyleRule> rules = ReadStyleRules("x{" + std::string(style) + "}");
    return rules.empty() ? std::vector<StyleDeclaration>{} : rules.front().Declarations;
}

// The value of the last declaration of `property`; empty when there is none.
std::string DeclaredValue(const std::vector<StyleDeclaration>& declarations,
                          std::string_view property) {
    std::string value;
    for (const StyleDeclaration& declaration : declarations)
        if (declaration.Property == property) value = declaration.Value;
    return value;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && IsBlank(text[at])) ++at;
        const std::size_t start = at;
        while (at < text.size() && !IsBlank(text[at])) ++at;
        if (at > start) words.emplace_back(text.substr(start, at - start));
    }
    return words;
}

// A length in points: a number with an absolute unit, a bare number as pixels when
// `barePixels` (an HTML attribute's), or a percentage of `whole`; nothing for anything else.
std::optional<double> WrittenLength(std::string_view value, double whole, bool barePixels) {
    const std::string text(TrimBlanks(value));
    if (text.empty()) return std::nullopt;
    if (const std::optional<double> pixels = LengthInPixels(text)) return *pixels * kPointsPerPixel;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || text.find_first_of("xXnN") != npos) return std::nullopt;
    const std::string_view unit(end);
    if (unit == "%") return number / 100 * whole;
    if (unit.empty() && barePixels) return number * kPointsPerPixel;
    return std::nullopt;
}

// A length no page could show (beyond ten thousand inches) is taken for none.
std::optional<double> LengthInPoints(std::string_view value, double whole, bool barePixels) {
    const std::optional<double> points = WrittenLength(value, whole, barePixels);
    if (!points || !(std::abs(*points) <= kLongestLength)) return std::nullopt;
    return points;
}

// The text width of an @page rule: its size's width less its left and right margins.
double TextWidthOf(std::string_view rule) {
    const std::vector<StyleDeclaration> declarations = ReadDeclarations(rule);
    const auto points = [](const std::string& value, double fallback) {
        return LengthInPoints(value, 0, false).value_or(fallback);
    };
    const std::vector<std::string> size = Words(DeclaredValue(declarations, "size"));
    const double width = size.empty() ? kLetterWidth : points(size.front(), kLetterWidth);
    double left = kInchMargin;
    double right = kInchMargin;
    if (std::vector<std::string> margin = Words(DeclaredValue(declarations, "margin"));
        !margin.empty() && margin.size() <= 4) {
        margin.resize(4);
        if (margin[1].empty()) margin[1] = margin[0];
        if (margin[3].empty()) margin[3] = margin[1];
        right = points(margin[1], right);
        left = points(margin[3], left);
    }
    left = points(DeclaredValue(declarations, "margin-left"), left);
    right = points(DeclaredValue(declarations, "margin-right"), right);
    const double textWidth = width - left - right;
    return textWidth > 0 ? textWidth : kDefaultTextWidth;
}

// The text widths of the page's @page rules, by name.
std::map<std::string, double> SectionTextWidths(const std::string& page) {
    std::map<std::string, double> widths;
    Regex rules(preCaseLess);
    rules.SetPattern("@page\\s+([\\w\\-]+)\\s*\\{([^}]*)\\}");
    rules.SetSubject(page);
    while (rules.MatchNext()) widths.emplace(rules.Submatch(1), TextWidthOf(rules.Submatch(2)));
    return widths;
}

// A size Word gives a picture, in points; a dimension it does not give is 0.
struct PictureSize {
    double Width = 0;
    double Height = 0;
};

// The width and height `style` declares, in points, percentages of `whole`.
PictureSize DeclaredSize(std::string_view style, double whole) {
    const std::vector<StyleDeclaration> declarations = ReadDeclarations(style);
    return {LengthInPoints(DeclaredValue(declarations, "width"), whole, false).value_or(0),
            LengthInPoints(DeclaredValue(declarations, "height"), 0, false).value_or(0)};
}

// The sizes of the page's VML shapes and groups by their id: the sizes of the pictures whose
// <img> fallbacks name them.
std::map<std::string, PictureSize> VmlShapeSizes(const std::string& page) {
    std::map<std::string, PictureSize> sizes;
    Regex shapes(preCaseLess);
    shapes.SetPattern("<v:(?:shape|group|rect|roundrect|oval|image)\\b[^>]*>");
    shapes.SetSubject(page);
    while (shapes.MatchNext()) {
        const std::vector<TagAttribute> attributes = ReadAttributes(shapes.MatchedText());
        const TagAttribute* id = FindAttribute(attributes, "id");
        const TagAttribute* style = FindAttribute(attributes, "style");
        if (id == nullptr || style == nullptr) continue;
        const PictureSize size = DeclaredSize(style->Value, 0);
        if (size.Width > 0) sizes.emplace(id->Value, size);
    }
    return sizes;
}

// `value` with at most `decimals` decimals, without trailing zeros and never in exponent form.
std::string DecimalText(double value, int decimals) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text(buffer);
    if (text.find('.') == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// A share in percent with three significant digits: "47.3", "1.28", "0.641".
std::string PercentText(double share) {
    share = std::clamp(share, 0.001, 100.0);
    return DecimalText(share, share >= 10 ? 1 : share >= 1 ? 2 : 3);
}

// A table being walked: the width its cells' percentages refer to, and the width the current
// cell gives what it holds.
struct TableFrame {
    double Outer = 0;      // the width the table stands in
    double Width = 0;      // the table's own width, else Outer
    double Container = 0;  // the current cell's width, else Outer
};

class PictureSizer {
  public:
    explicit PictureSizer(const std::string& page)
        : m_page(page), m_sections(SectionTextWidths(page)), m_shapes(VmlShapeSizes(page)) {
        m_textWidth = m_sections.empty() ? kDefaultTextWidth : m_sections.begin()->second;
    }

    std::string Run() {
        std::string result;
        result.reserve(m_page.size() + m_page.size() / 32);
        std::size_t copied = 0;
        std::size_t at = m_page.find('<');
        while (at != npos) {
            // Comments (and Word's conditional comments, whose VML has its own fallback image)
            // are passed over whole.
            if (m_page.compare(at, 4, "<!--") == 0) {
                const std::size_t end = m_page.find("-->", at + 4);
                at = end == npos ? npos : m_page.find('<', end + 3);
                continue;
            }
            // A "<" that opens no tag is text.
            if (at + 1 >= m_page.size() ||
                !(std::isalpha(static_cast<unsigned char>(m_page[at + 1])) ||
                  m_page[at + 1] == '/' || m_page[at + 1] == '!')) {
                at = m_page.find('<', at + 1);
                continue;
            }
            const std::size_t tagEnd = m_page.find('>', at);
            if (tagEnd == npos) break;
            const std::string_view tag(m_page.data() + at, tagEnd + 1 - at);
            const std::string name = TagName(tag);
            std::size_t next = tagEnd + 1;
            if (name == "img") {
                if (std::optional<std::string> sized = SizedImage(tag)) {
                    result.append(m_page, copied, at - copied);
                    result += *sized;
                    copied = next;
                }
            } else if (name == "style" || name == "script") {
                const std::size_t close = FindAnyCase(m_page, "</" + name, next);
                next = close == npos ? m_page.size() : close;
            } else {
                Follow(name, tag);
            }
            at = m_page.find('<', next);
        }
        result.append(m_page, copied);
        return result;
    }

  private:
    static std::string TagName(std::string_view tag) {
        std::size_t end = 1;
        if (end < tag.size() && tag[end] == '/') ++end;
        while (end < tag.size() && !IsBlank(tag[end]) && tag[end] != '>' && tag[end] != '/') ++end;
        return AsciiLower(tag.substr(1, end - 1));
    }

    // The width a percentage refers to where the walk stands.
    double Container() const { return m_tables.empty() ? m_textWidth : m_tables.back().Container; }

    // The declared width of a table or cell: its style's, else its width attribute.
    static std::optional<double> DeclaredWidth(std::string_view tag, double whole) {
        const std::vector<TagAttribute> attributes = ReadAttributes(tag);
        if (const TagAttribute* style = FindAttribute(attributes, "style")) {
            const std::string width = DeclaredValue(ReadDeclarations(style->Value), "width");
            if (const std::optional<double> points = LengthInPoints(width, whole, false);
                points && *points > 0)
                return points;
        }
        if (const TagAttribute* width = FindAttribute(attributes, "width")) {
            if (const std::optional<double> points = LengthInPoints(width->Value, whole, true);
                points && *points > 0)
                return points;
        }
        return std::nullopt;
    }

    // Keeps the section, table and cell the walk stands in.
    void Follow(const std::string& name, std::string_view tag) {
        if (name == "div") {
            const std::vector<TagAttribute> attributes = ReadAttributes(tag);
            if (const TagAttribute* classes = FindAttribute(attributes, "class")) {
                for (const std::string& word : Words(classes->Value)) {
                    if (const auto section = m_sections.find(word); section != m_sections.end())
                        m_textWidth = section->second;
                }
            }
        } else if (name == "table") {
            TableFrame frame;
            frame.Outer = Container();
            frame.Width = DeclaredWidth(tag, frame.Outer).value_or(frame.Outer);
            frame.Container = frame.Outer;
            m_tables.push_back(frame);
        } else if ((name == "td" || name == "th") && !m_tables.empty()) {
            TableFrame& frame = m_tables.back();
            frame.Container = DeclaredWidth(tag, frame.Width).value_or(frame.Outer);
        } else if (name == "/table" && !m_tables.empty()) {
            m_tables.pop_back();
        }
    }

    // The size Word gives the image: its VML shape's, else its style's, else its width and
    // height attributes'.
    PictureSize ImageSize(const std::vector<TagAttribute>& attributes) const {
        if (const TagAttribute* shapes = FindAttribute(attributes, "v:shapes")) {
            const std::vector<std::string> names = Words(shapes->Value);
            if (!names.empty()) {
                if (const auto shape = m_shapes.find(names.front()); shape != m_shapes.end())
                    return shape->second;
            }
        }
        if (const TagAttribute* style = FindAttribute(attributes, "style")) {
            if (const PictureSize size = DeclaredSize(style->Value, Container()); size.Width > 0)
                return size;
        }
        const auto attribute = [&](const char* name, double whole) {
            const TagAttribute* found = FindAttribute(attributes, name);
            return found == nullptr ? 0 : LengthInPoints(found->Value, whole, true).value_or(0);
        };
        return {attribute("width", Container()), attribute("height", 0)};
    }

    // The image tag with its width as a share of its container, and Word's proportions;
    // nothing when Word's page gives it no width.
    std::optional<std::string> SizedImage(std::string_view tag) const {
        const std::vector<TagAttribute> attributes = ReadAttributes(tag);
        const PictureSize size = ImageSize(attributes);
        if (!(size.Width > 0)) return std::nullopt;
        std::string style = "width:" + PercentText(size.Width / Container() * 100) + '%';
        // Word may stretch a picture out of its own proportions (a pixel drawn as a rule);
        // readers that know aspect-ratio follow Word, others the picture.
        if (size.Height > 0)
            style +=
                ";aspect-ratio:" + DecimalText(size.Width, 2) + '/' + DecimalText(size.Height, 2);
        std::string sized(tag.substr(0, 4));  // "<img" as written
        for (const TagAttribute& attribute : attributes) {
            if (attribute.Name == "width" || attribute.Name == "height") continue;
            if (attribute.Name == "style") {
                for (const StyleDeclaration& declaration : ReadDeclarations(attribute.Value)) {
                    // Word's own declarations go here, where the cleaners that remove them
                    // elsewhere do not look.
                    if (declaration.Property == "width" || declaration.Property == "height" ||
                        declaration.Property.starts_with("mso-"))
                        continue;
                    style += ';' + declaration.Property + ':' + declaration.Value;
                }
                continue;
            }
            sized += ' ';
            sized += tag.substr(attribute.Begin, attribute.End - attribute.Begin);
        }
        // Font names quoted inside a style keep their quotes as CSS allows.
        std::replace(style.begin(), style.end(), '"', '\'');
        sized += " style=\"" + style + '"';
        sized += tag.ends_with("/>") ? "/>" : ">";
        return sized;
    }

    const std::string& m_page;
    std::map<std::string, double> m_sections;
    std::map<std::string, PictureSize> m_shapes;
    double m_textWidth = kDefaultTextWidth;
    std::vector<TableFrame> m_tables;
};

}  // namespace

std::string WithRelativePictureSizes(std::string_view page) {
    const std::string text = VmlPicturesAsImages(page);
    return PictureSizer(text).Run();
}

}  // namespace quirebook
