#include "html/NestedFontSizes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "css/StyleRules.h"
#include "html/CssSelectors.h"
#include "html/GumboPage.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// The quotient an em or % size gives ("1.25em", "125%" -> 1.25); nothing for any other value.
std::optional<double> RelativeSize(std::string_view value) {
    const std::string text = AsciiLower(TrimBlanks(value));
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !(number > 0) || !std::isfinite(number)) return std::nullopt;
    const std::string_view unit(end);
    if (unit == "em") return number;
    if (unit == "%") return number / 100;
    return std::nullopt;
}

// The size of a "font" shorthand ("bold 1.5em Arial", "0.5em/1.2 serif"), when relative.
std::optional<double> ShorthandSize(std::string_view value) {
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t end = std::min(value.find(' ', at), value.size());
        const std::string_view token = value.substr(at, end - at);
        if (const auto size = RelativeSize(token.substr(0, token.find('/')))) return size;
        at = end + 1;
    }
    return std::nullopt;
}

// The relative size a declaration sets; nothing when it sets none.
std::optional<double> DeclaredSize(const StyleDeclaration& declaration) {
    if (declaration.Property == "font-size") return RelativeSize(declaration.Value);
    if (declaration.Property == "font") return ShorthandSize(declaration.Value);
    return std::nullopt;
}

// The weight of a declaration in the cascade: importance, then specificity, then order.
using Rank = std::tuple<bool, int, std::size_t>;

struct SizeRule {
    ComplexSelector Selector;
    double Size = 1;
    Rank Weight;
};

int SpecificityOf(const ComplexSelector& selector) {
    int ids = 0, classes = 0, types = 0;
    for (const CompoundSelector& compound : selector.Compounds) {
        if (!compound.Id.empty()) ++ids;
        classes += static_cast<int>(compound.Classes.size() + compound.Attributes.size());
        if (!compound.Tag.empty()) ++types;
    }
    return ids * 10000 + classes * 100 + types;
}

// The size rules of a sheet, found by the class or type their last compound names, so that an
// element is matched against the few rules that may select it.
class SizeRules {
  public:
    explicit SizeRules(std::string_view style) {
        std::size_t order = 0;
        for (const StyleRule& rule : ReadStyleRules(style)) {
            if (!rule.Conditions.empty()) continue;
            for (const StyleDeclaration& declaration : rule.Declarations) {
                const std::optional<double> size = DeclaredSize(declaration);
                if (!size) continue;
                if (std::abs(*size - 1) > 1e-9) m_anyNested = true;
                for (const std::string& text : SplitSelectorList(rule.Selectors)) {
                    SelectorList selectors;
                    try {
                        selectors = ParseSelectors(text);
                    } catch (const std::invalid_argument&) {
                        continue;  // pseudo-classes and the like: not a size of the text
                    }
                    for (ComplexSelector& selector : selectors) {
                        const int specificity = SpecificityOf(selector);
                        const CompoundSelector& subject = selector.Compounds.back();
                        std::vector<SizeRule>& bucket =
                            !subject.Classes.empty() ? m_byClass[subject.Classes.front()]
                            : !subject.Tag.empty()   ? m_byTag[subject.Tag]
                                                     : m_others;
                        bucket.push_back({std::move(selector),
                                          *size,
                                          {declaration.Important, specificity, order}});
                    }
                }
                ++order;
            }
        }
    }

    // Whether some rule sets a relative size other than the body text's.
    bool AnyNested() const { return m_anyNested; }

    // The size the rules give the element, with its cascade weight.
    std::optional<std::pair<double, Rank>> SizeOf(const ElementSubject& element) const {
        std::optional<std::pair<double, Rank>> best;
        const auto consider = [&](const std::vector<SizeRule>& rules) {
            for (const SizeRule& rule : rules)
                if ((!best || best->second < rule.Weight) && Selects(rule.Selector, element))
                    best = {{rule.Size, rule.Weight}};
        };
        if (const auto found = m_byTag.find(std::string(element.Tag())); found != m_byTag.end())
            consider(found->second);
        if (const auto classes = element.Attribute("class")) {
            std::size_t at = 0;
            while (at < classes->size()) {
                std::size_t end = classes->find_first_of(" \t\r\n\f", at);
                if (end == std::string_view::npos) end = classes->size();
                if (end > at) {
                    const auto found = m_byClass.find(std::string(classes->substr(at, end - at)));
                    if (found != m_byClass.end()) consider(found->second);
                }
                at = end + 1;
            }
        }
        consider(m_others);
        return best;
    }

  private:
    std::map<std::string, std::vector<SizeRule>> m_byClass, m_byTag;
    std::vector<SizeRule> m_others;
    bool m_anyNested = false;
};

// A quotient in plain notation with three significant digits: "1.17", "0.875", "12.5".
std::string QuotientText(double value) {
    char text[32];
    const int digits = value >= 100 ? 0 : value >= 10 ? 1 : value >= 1 ? 2 : 3;
    std::snprintf(text, sizeof text, "%.*f", digits + (value < 0.1 ? 1 : 0), value);
    std::string written(text);
    if (written.find('.') != std::string::npos) {
        written.erase(written.find_last_not_of('0') + 1);
        if (written.back() == '.') written.pop_back();
    }
    return written;
}

// The value of a style attribute with a declaration added, quoted for the start tag.
std::string StyleAttributeValue(std::string_view value, const std::string& declaration) {
    std::string text(TrimBlanks(value));
    if (!text.empty() && text.back() != ';') text += ';';
    text += declaration;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += "&quot;";
        else if (c == '&')
            quoted += "&amp;";
        else
            quoted += c;
    }
    return quoted + '"';
}

struct Edit {
    std::size_t Begin = 0, End = 0;  // the bytes replaced
    std::string Text;
};

// The edit that sets `declaration` last in the element's style attribute, or adds one.
Edit StyleEdit(std::string_view body, const GumboElement& element, const std::string& declaration) {
    if (const GumboAttribute* style = gumbo_get_attribute(&element.attributes, "style")) {
        const std::size_t begin =
            static_cast<std::size_t>(style->original_value.data - body.data());
        return {begin, begin + style->original_value.length,
                StyleAttributeValue(style->value, declaration)};
    }
    const std::size_t tagStart = static_cast<std::size_t>(element.original_tag.data - body.data());
    std::size_t nameEnd = tagStart + 1;
    while (nameEnd < body.size() && (std::isalnum(static_cast<unsigned char>(body[nameEnd])) ||
                                     body[nameEnd] == ':' || body[nameEnd] == '-'))
        ++nameEnd;
    return {nameEnd, nameEnd, " style=\"" + declaration + "\""};
}

struct Frame {
    const GumboNode* Node;
    unsigned NextChild = 0;
    std::optional<ElementSubject> Subject;
    double Intended = 1;  // the element's size as a quotient of the body text's
};

}  // namespace

std::string WithNestedFontSizes(std::string_view body, std::string_view style) {
    const SizeRules rules(style);
    if (!rules.AnyNested() && body.find("font") == std::string_view::npos) return std::string(body);
    const GumboDocument page(body);
    std::vector<Edit> edits;
    std::deque<Frame> stack;
    stack.push_back({&page.Root(), 0, std::nullopt, 1});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const GumboNode& node = *frame.Node;
        const GumboVector& children =
            node.type == GUMBO_NODE_DOCUMENT ? node.v.document.children : node.v.element.children;
        if (frame.NextChild == children.length) {
            stack.pop_back();
            continue;
        }
        const GumboNode& child = *static_cast<const GumboNode*>(children.data[frame.NextChild++]);
        if (!IsElement(child)) continue;
        const GumboElement& element = child.v.element;
        const ElementSubject* parentSubject = frame.Subject ? &*frame.Subject : nullptr;
        const double parentSize = frame.Intended;
        Frame& next = stack.emplace_back(Frame{&child, 0, std::nullopt, parentSize});
        next.Subject.emplace(element, parentSubject);

        std::optional<std::pair<double, Rank>> own = rules.SizeOf(*next.Subject);
        if (const auto inlineStyle = AttributeOf(element, "style")) {
            for (const StyleRule& rule : ReadStyleRules("x{" + std::string(*inlineStyle) + "}"))
                for (const StyleDeclaration& declaration : rule.Declarations)
                    if (const auto size = DeclaredSize(declaration))
                        if (!own || !std::get<0>(own->second) || declaration.Important)
                            own = {{*size, {declaration.Important, 1000000, 0}}};
        }
        if (!own) continue;
        next.Intended = own->first;
        // Written against the element around it, the size shows as the document gives it.
        if (std::abs(parentSize - 1) > 1e-6 && element.original_tag.data != nullptr &&
            element.original_tag.length > 0)
            edits.push_back(StyleEdit(body, element,
                                      "font-size:" + QuotientText(own->first / parentSize) + "em" +
                                          (std::get<0>(own->second) ? " !important" : "")));
    }
    if (edits.empty()) return std::string(body);
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.Begin < b.Begin; });
    std::string result;
    result.reserve(body.size() + edits.size() * 32);
    std::size_t copied = 0;
    for (const Edit& edit : edits) {
        if (edit.Begin < copied) continue;
        result.append(body, copied, edit.Begin - copied);
        result += edit.Text;
        copied = edit.End;
    }
    result.append(body, copied);
    return result;
}

}  // namespace quirebook
