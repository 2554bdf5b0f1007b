// Taking a sheet's absent columns and large minimum widths out, by the bytes of its declarations.
#include "css/NarrowScreenSheets.h"

#include <algorithm>
#include <cstdlib>

#include "css/StyleRules.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// A column is at least an inch wide, or a tenth of the page and at most half of it.
constexpr double kNarrowestColumn = 96;
constexpr double kNarrowestColumnPercent = 10;
constexpr double kWidestColumnPercent = 50;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The value's parts separated by blanks outside parentheses ("0 calc(1em + 2px)" is two).
std::vector<std::string> ValueParts(std::string_view value) {
    std::vector<std::string> parts;
    std::string part;
    int depth = 0;
    for (const char c : value) {
        if (IsBlank(c) && depth == 0) {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        part += c;
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

// The value in lower case with its blanks single and trimmed, so that equal values compare equal.
std::string Normalised(std::string_view value) {
    std::string normalised;
    for (const char c : AsciiLower(TrimBlanks(value))) {
        if (!IsBlank(c)) {
            normalised += c;
        } else if (normalised.back() != ' ') {
            normalised += ' ';
        }
    }
    return normalised;
}

// The number at the start of `value` and where it ends; nothing when it does not start with one.
std::optional<double> LeadingNumber(std::string_view value, std::size_t& end) {
    const std::string text(value);
    char* stop = nullptr;
    const double number = std::strtod(text.c_str(), &stop);
    end = static_cast<std::size_t>(stop - text.c_str());
    // strtod also reads "inf", "nan" and hexadecimal numbers, which CSS does not write.
    if (end == 0 || text.find_first_of("xXnN") < end) return std::nullopt;
    return number;
}

bool IsColumnWidth(const std::string& width) {
    if (width.rfind("calc(", 0) == 0 || width.rfind("var(", 0) == 0) return true;
    if (const std::optional<double> pixels = LengthInPixels(width))
        return *pixels >= kNarrowestColumn;
    std::size_t end = 0;
    const std::optional<double> number = LeadingNumber(width, end);
    return number && width.substr(end) == "%" && *number >= kNarrowestColumnPercent &&
           *number <= kWidestColumnPercent;
}

// The last value the rule declares for `property`, normalised; empty when it declares none.
std::string LastValue(const StyleRule& rule, std::string_view property) {
    std::string value;
    for (const StyleDeclaration& declaration : rule.Declarations)
        if (declaration.Property == property) value = Normalised(declaration.Value);
    return value;
}

// The side a rule places its block on: "left" or "right"; empty for a block left in the flow.
std::string PlacedSide(const StyleRule& rule) {
    const std::string floated = LastValue(rule, "float");
    if (floated == "left" || floated == "right") return floated;
    const std::string position = LastValue(rule, "position");
    if (position != "fixed" && position != "absolute") return {};
    return LastValue(rule, "right").empty() || !LastValue(rule, "left").empty() ? "left" : "right";
}

// A change to a sheet's bytes.
struct Edit {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::string Text;
};

class SheetFitter {
  public:
    SheetFitter(std::string_view css, const std::vector<SideColumn>& absent)
        : m_css(css), m_absent(absent) {}

    NarrowFit Fit() {
        for (const StyleRule& rule : ReadStyleRules(m_css))
            for (const StyleDeclaration& declaration : rule.Declarations)
                FitDeclaration(declaration);
        std::sort(m_edits.begin(), m_edits.end(),
                  [](const Edit& a, const Edit& b) { return a.Begin < b.Begin; });
        std::size_t copied = 0;
        for (const Edit& edit : m_edits) {
            m_fit.Sheet.append(m_css, copied, edit.Begin - copied);
            m_fit.Sheet += edit.Text;
            copied = edit.End;
        }
        m_fit.Sheet.append(m_css, copied);
        return std::move(m_fit);
    }

  private:
    void FitDeclaration(const StyleDeclaration& declaration) {
        const std::string& property = declaration.Property;
        if (property == "min-width") {
            const std::optional<double> pixels = LengthInPixels(declaration.Value);
            if (pixels && *pixels > kWidestKeptMinimumWidth) {
                // The blanks after it go with it, so that no gap is left.
                std::size_t end = declaration.End;
                while (end < m_css.size() && (m_css[end] == ' ' || m_css[end] == '\t')) ++end;
                m_edits.push_back({declaration.Begin, end, ""});
                ++m_fit.DroppedMinimumWidths;
            }
            return;
        }
        if (property != "margin" && property != "padding" && property != "margin-left" &&
            property != "margin-right" && property != "padding-left" &&
            property != "padding-right") {
            return;
        }
        std::vector<std::string> parts = ValueParts(declaration.Value);
        if (parts.empty() || parts.size() > 4) return;
        const bool shorthand = property == "margin" || property == "padding";
        if (shorthand) {
            // Top, right, bottom, left, so that one side can change alone.
            parts.resize(4, "");
            if (parts[1].empty()) parts[1] = parts[0];
            if (parts[2].empty()) parts[2] = parts[0];
            if (parts[3].empty()) parts[3] = parts[1];
        }
        bool changed = false;
        for (const std::string_view side : {"left", "right"}) {
            if (!shorthand && !property.ends_with(side)) continue;
            std::string& part = shorthand ? parts[side == "left" ? 3 : 1] : parts[0];
            if (KeptForAbsentColumn(side, part)) {
                part.assign(1, '0');
                changed = true;
            }
        }
        if (!changed) return;
        std::string value;
        for (const std::string& part : parts) value += (value.empty() ? "" : " ") + part;
        m_edits.push_back({declaration.ValueBegin, declaration.ValueEnd, value});
        ++m_fit.FreedMargins;
    }

    bool KeptForAbsentColumn(std::string_view side, const std::string& value) const {
        const std::string normalised = Normalised(value);
        return std::any_of(m_absent.begin(), m_absent.end(), [&](const SideColumn& column) {
            return column.Side == side && column.Width == normalised;
        });
    }

    std::string_view m_css;
    const std::vector<SideColumn>& m_absent;
    std::vector<Edit> m_edits;
    NarrowFit m_fit;
};

}  // namespace

std::optional<double> LengthInPixels(std::string_view value) {
    const std::string text = AsciiLower(TrimBlanks(value));
    std::size_t end = 0;
    const std::optional<double> number = LeadingNumber(text, end);
    if (!number) return std::nullopt;
    static const struct {
        const char* Unit;
        double Pixels;
    } kUnits[] = {{"px", 1},         {"pt", 4.0 / 3},   {"pc", 16},        {"in", 96},
                  {"cm", 96 / 2.54}, {"mm", 96 / 25.4}, {"q", 96 / 101.6}, {"em", 16},
                  {"rem", 16},       {"ex", 8},         {"ch", 8}};
    const std::string unit = text.substr(end);
    for (const auto& known : kUnits)
        if (unit == known.Unit) return *number * known.Pixels;
    return std::nullopt;
}

std::vector<SideColumn> AbsentSideColumns(
    std::string_view css, const std::function<bool(const std::string&)>& selectsNoBlock) {
    std::vector<SideColumn> columns;
    for (const StyleRule& rule : ReadStyleRules(css)) {
        const std::string side = PlacedSide(rule);
        if (side.empty()) continue;
        const std::string width = LastValue(rule, "width");
        if (!IsColumnWidth(width) || !selectsNoBlock(rule.Selectors)) continue;
        columns.push_back({side, width, Normalised(rule.Selectors)});
    }
    return columns;
}

NarrowFit FitSheetToNarrowScreens(std::string_view css, const std::vector<SideColumn>& absent) {
    return SheetFitter(css, absent).Fit();
}

}  // namespace quirebook
