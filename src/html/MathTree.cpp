#include "html/MathTree.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "html/MathCharacters.h"

namespace quirebook {

namespace {

// What a row's child is, for the spaces around it.
enum class ItemKind { Operator, Scripted, Word, Other };

// The one character of a token, or 0.
char32_t SoleCharacter(const MathElement& element) {
    if (element.Text.empty()) return 0;
    std::size_t at = 0;
    const char32_t c = NextCodePoint(element.Text, at);
    return at == element.Text.size() ? c : 0;
}

}  // namespace

bool HasMark(const MathElement& element) {
    if ((element.Name != "munder" && element.Name != "mover") || element.Children.size() != 2 ||
        element.Children[1].Name != "mo")
        return false;
    const char32_t mark = SoleCharacter(element.Children[1]);
    return CombiningAccent(mark) != 0 || IsOverline(mark) || IsUnderline(mark) ||
           (mark >= 0x23B4 && mark <= 0x23E1);
}

namespace {

ItemKind KindOf(const MathElement& element) {
    const std::string_view name = element.Name;
    if (name == "mo") return ItemKind::Operator;
    if (name == "msub" || name == "msup" || name == "msubsup" || name == "munderover" ||
        name == "mmultiscripts" || ((name == "munder" || name == "mover") && !HasMark(element)))
        return ItemKind::Scripted;
    if (name == "mi" && SoleCharacter(element) == 0) return ItemKind::Word;
    return ItemKind::Other;
}

// A binary operator that also stands for a sign ("−b").
bool MayBeSign(std::string_view op) {
    return op == "+" || op == "-" || op == "\u2212" || op == "\u00B1" || op == "\u2213";
}

// True when an operand that follows `element` starts a term: after an operator that stands
// apart (=, +, a comma) or an opening bracket.
bool StartsTerm(const MathElement& element) {
    if (element.Name != "mo") return false;
    const std::string* form = element.Attribute("form");
    static constexpr std::string_view kOpenings[] = {"(", "[", "{", "\u27E8", "\u2308", "\u230A"};
    return SpacingOf(element.Text) != OperatorSpacing::None ||
           (form != nullptr && *form == "prefix") ||
           std::find(std::begin(kOpenings), std::end(kOpenings), element.Text) !=
               std::end(kOpenings);
}

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t code = NextCodePoint(text, at);
        if (code >= 0x80) {
            if (code == 0xFFFD)
                AppendCodePoint(out, code);
            else if (code != 0xFFFE && code != 0xFFFF)
                out.append(text, start, at - start);
            continue;
        }
        const char c = static_cast<char>(code);
        if (code < 0x20 && c != '\t' && c != '\n') continue;
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += attribute ? "&quot;" : "\"";
                break;
            default:
                out += c;
        }
    }
}

void AppendMarkup(std::string& out, const MathElement& element, bool withNamespace) {
    out += '<';
    out += element.Name;
    if (withNamespace) {
        out += " xmlns=\"";
        out += kMathMlNamespace;
        out += '"';
    }
    for (const auto& [name, value] : element.Attributes) {
        out += ' ';
        out += name;
        out += "=\"";
        AppendEscaped(out, value, true);
        out += '"';
    }
    if (element.Text.empty() && element.Children.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    AppendEscaped(out, element.Text, false);
    for (const MathElement& child : element.Children) AppendMarkup(out, child, false);
    out += "</";
    out += element.Name;
    out += '>';
}

}  // namespace

const std::string* MathElement::Attribute(std::string_view name) const {
    for (const auto& [key, value] : Attributes)
        if (key == name) return &value;
    return nullptr;
}

MathElement& MathElement::Set(std::string_view name, std::string value) {
    for (auto& [key, old] : Attributes) {
        if (key == name) {
            old = std::move(value);
            return *this;
        }
    }
    Attributes.emplace_back(std::string(name), std::move(value));
    return *this;
}

bool MathElement::IsToken() const {
    return IsTokenName(Name);
}

void AppendMathText(std::string& out, std::string_view text, bool attribute) {
    AppendEscaped(out, text, attribute);
}

bool HasNoBar(const MathElement& fraction) {
    const std::string* thickness = fraction.Attribute("linethickness");
    if (thickness == nullptr || thickness->empty()) return false;
    const char first = thickness->front();
    return (first == '0' || first == '.') && std::strtod(thickness->c_str(), nullptr) == 0;
}

bool IsInvisibleOperator(const MathElement& element) {
    return element.Name == "mo" && (element.Text == "\u2061" || element.Text == "\u2062" ||
                                    element.Text == "\u2063" || element.Text == "\u2064");
}

std::vector<RowGap> RowGaps(const std::vector<MathElement>& row, bool spaced) {
    std::vector<RowGap> gaps(row.size());
    const MathElement* before = nullptr;  // the last visible child
    for (std::size_t i = 0; i < row.size(); ++i) {
        const MathElement& child = row[i];
        if (IsInvisibleOperator(child)) {
            gaps[i].After = child.Text == "\u2061";
            continue;
        }
        const ItemKind kind = KindOf(child);
        if (kind == ItemKind::Operator) {
            const OperatorSpacing spacing = spaced ? SpacingOf(child.Text) : OperatorSpacing::None;
            const bool sign = MayBeSign(child.Text) && (before == nullptr || StartsTerm(*before));
            gaps[i].Before = spacing == OperatorSpacing::Around && !sign;
            gaps[i].After = spacing != OperatorSpacing::None && !sign;
        } else if (before != nullptr) {
            const ItemKind previous = KindOf(*before);
            gaps[i].Before = previous == ItemKind::Scripted ||
                             (previous == ItemKind::Word && kind != ItemKind::Other) ||
                             (kind == ItemKind::Word && previous != ItemKind::Operator);
        }
        before = &child;
    }
    return gaps;
}

bool IsTokenName(std::string_view name) {
    return name == "mi" || name == "mn" || name == "mo" || name == "mtext" || name == "ms";
}

std::string MathMlMarkup(const MathElement& element, bool withNamespace) {
    std::string out;
    AppendMarkup(out, element, withNamespace);
    return out;
}

}  // namespace quirebook
