#include "StyledText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "css/StyleRules.h"
#include "html/CssSelectors.h"
#include "html/GumboPage.h"
#include "text/TextUtilities.h"

namespace quirebook::testing {

namespace {

struct CascadeRule {
    ComplexSelector Selector;
    int Specificity = 0;
    std::size_t Order = 0;
    std::vector<StyleDeclaration> Declarations;
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

// A selector with its pseudo-classes (":link", ":visited", ":first-child") taken out: what
// remains selects the same elements or more, which is near enough for text that is shown.
std::string WithoutPseudoClasses(std::string_view selector) {
    std::string kept;
    for (std::size_t i = 0; i < selector.size(); ++i) {
        if (selector[i] != ':') {
            kept += selector[i];
            continue;
        }
        while (i + 1 < selector.size() &&
               (std::isalnum(static_cast<unsigned char>(selector[i + 1])) ||
                selector[i + 1] == '-' || selector[i + 1] == ':'))
            ++i;
    }
    return kept;
}

void AddRules(std::string_view css, std::vector<CascadeRule>& rules) {
    for (const StyleRule& rule : ReadStyleRules(css)) {
        if (!AppliesOnEveryScreen(rule.Conditions)) continue;
        for (const std::string& text : SplitSelectorList(rule.Selectors)) {
            try {
                for (ComplexSelector& selector : ParseSelectors(WithoutPseudoClasses(text))) {
                    const int specificity = SpecificityOf(selector);
                    rules.push_back(
                        {std::move(selector), specificity, rules.size(), rule.Declarations});
                }
            } catch (const std::invalid_argument&) {
                // A selector the small reader does not know styles nothing here.
            }
        }
    }
}

constexpr double kMediumPoints = 12;

// The size `value` gives against the size of the parent; nothing when it is no size.
std::optional<double> SizeOf(std::string_view value, double parent) {
    const std::string text = AsciiLower(value);
    struct Keyword {
        const char* Name;
        double Pixels;
    };
    constexpr Keyword kKeywords[] = {{"xx-small", 9}, {"x-small", 10}, {"small", 13},
                                     {"medium", 16},  {"large", 18},   {"x-large", 24},
                                     {"xx-large", 32}};
    for (const Keyword& keyword : kKeywords)
        if (text == keyword.Name) return keyword.Pixels * 0.75;
    if (text == "smaller") return parent / 1.2;
    if (text == "larger") return parent * 1.2;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return std::nullopt;
    const std::string_view unit(end);
    if (unit == "pt") return number;
    if (unit == "px") return number * 0.75;
    if (unit == "em") return number * parent;
    if (unit == "%") return number * parent / 100;
    if (unit == "in") return number * 72;
    if (unit == "cm") return number * 72 / 2.54;
    if (unit == "mm") return number * 72 / 25.4;
    if (unit == "pc") return number * 12;
    return std::nullopt;
}

void ApplyDecoration(std::string_view value, TextLook& look) {
    const std::string text = AsciiLower(value);
    if (text.find("underline") != std::string::npos) look.Underline = true;
    if (text.find("line-through") != std::string::npos) look.Strike = true;
}

// The "font" shorthand: an optional style, weight and variant, the size (maybe "/line-height"),
// then the families.
void ApplyFontShorthand(std::string_view value, double parent, TextLook& look) {
    std::size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && value[at] == ' ') ++at;
        std::size_t end = value.find(' ', at);
        if (end == std::string_view::npos) end = value.size();
        std::string_view token = value.substr(at, end - at);
        token = token.substr(0, token.find('/'));
        if (const std::optional<double> size = SizeOf(token, parent)) {
            look.Points = *size;
            const std::string_view families = TrimBlanks(value.substr(end));
            if (!families.empty()) look.Family = AsciiLower(families);
            return;
        }
        at = end;
    }
}

bool IsBlankByte(std::string_view text, std::size_t at, std::size_t& length) {
    const char c = text[at];
    length = 1;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') return true;
    if (c == '\xC2' && at + 1 < text.size() && text[at + 1] == '\xA0') {
        length = 2;
        return true;
    }
    return false;
}

bool SameLook(const TextLook& a, const TextLook& b) {
    return std::abs(a.Points - b.Points) < 1e-6 && a.Family == b.Family &&
           a.Underline == b.Underline && a.Strike == b.Strike && a.Heading == b.Heading &&
           a.Link == b.Link;
}

constexpr std::string_view kBlockElements =
    " p div h1 h2 h3 h4 h5 h6 li ul ol dl dt dd td th tr table br pre blockquote section article "
    "header footer nav aside figure figcaption caption hr body ";

}  // namespace

bool FallsBackToMonospace(std::string_view family) {
    const std::size_t comma = family.rfind(',');
    const std::string last(
        TrimBlanks(comma == std::string_view::npos ? family : family.substr(comma + 1)));
    return AsciiLower(last) == "monospace";
}

std::string FirstFamily(std::string_view family) {
    std::string first(TrimBlanks(family.substr(0, family.find(','))));
    first.erase(
        std::remove_if(first.begin(), first.end(), [](char c) { return c == '"' || c == '\''; }),
        first.end());
    return AsciiLower(first);
}

std::string SingleSpaced(std::string_view text) {
    std::string spaced;
    bool blank = true;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 1;
        if (IsBlankByte(text, at, length)) {
            blank = true;
        } else {
            if (blank && !spaced.empty()) spaced += ' ';
            blank = false;
            spaced += text[at];
        }
        at += length;
    }
    return spaced;
}

class StyledTextBuilder {
  public:
    StyledTextBuilder(StyledText& result, const GumboDocument& page,
                      const std::vector<std::string>& sheets)
        : m_result(result) {
        CollectStyleElements(page.Root());
        for (const std::string& sheet : sheets) AddRules(sheet, m_rules);
        m_result.m_looks.push_back(TextLook{});
        Walk(page.Root(), nullptr, 0);
    }

  private:
    void CollectStyleElements(const GumboNode& node) {
        if (!IsElement(node)) return;
        const GumboElement& element = node.v.element;
        if (element.tag == GUMBO_TAG_STYLE) {
            for (unsigned i = 0; i < element.children.length; ++i) {
                const GumboNode& child = ChildAt(element, i);
                if (child.type == GUMBO_NODE_TEXT || child.type == GUMBO_NODE_CDATA ||
                    child.type == GUMBO_NODE_WHITESPACE)
                    AddRules(child.v.text.text, m_rules);
            }
            return;
        }
        for (unsigned i = 0; i < element.children.length; ++i)
            CollectStyleElements(ChildAt(element, i));
    }

    // The look of `element` under a parent of look `parent`.
    std::optional<TextLook> LookOf(const GumboElement& element, const ElementSubject& subject,
                                   const TextLook& parent) const {
        TextLook look = parent;
        const std::string tag = TagName(element);
        constexpr double kHeadingEms[] = {2, 1.5, 1.17, 1, 0.83, 0.67};
        if (tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6') {
            look.Points = parent.Points * kHeadingEms[tag[1] - '1'];
            look.Heading = true;
        }
        if (tag == "small" || tag == "sub" || tag == "sup") look.Points = parent.Points / 1.2;
        if (tag == "big") look.Points = parent.Points * 1.2;
        if (tag == "code" || tag == "pre" || tag == "tt" || tag == "kbd" || tag == "samp")
            look.Family = "monospace";
        if (tag == "u" || tag == "ins") look.Underline = true;
        if (tag == "a" && AttributeOf(element, "href")) look.Link = true;
        if (tag == "s" || tag == "strike" || tag == "del") look.Strike = true;

        std::vector<std::pair<std::pair<int, std::size_t>, const StyleDeclaration*>> declarations;
        for (const CascadeRule& rule : m_rules) {
            if (!Selects(rule.Selector, subject)) continue;
            for (const StyleDeclaration& declaration : rule.Declarations)
                declarations.push_back(
                    {{rule.Specificity + (declaration.Important ? 1000000 : 0), rule.Order},
                     &declaration});
        }
        std::vector<StyleRule> inlineRules;
        if (const auto style = AttributeOf(element, "style")) {
            inlineRules = ReadStyleRules("x{" + std::string(*style) + "}");
            for (const StyleRule& rule : inlineRules)
                for (const StyleDeclaration& declaration : rule.Declarations)
                    declarations.push_back(
                        {{(declaration.Important ? 2000000 : 999999), 0}, &declaration});
        }
        std::stable_sort(declarations.begin(), declarations.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [rank, declaration] : declarations) {
            const std::string& property = declaration->Property;
            const std::string& value = declaration->Value;
            if (property == "display" && AsciiLower(value) == "none") return std::nullopt;
            if (property == "font-size") {
                if (const std::optional<double> size = SizeOf(value, parent.Points))
                    look.Points = *size;
            } else if (property == "font-family") {
                look.Family = AsciiLower(value);
            } else if (property == "font") {
                ApplyFontShorthand(value, parent.Points, look);
            } else if (property == "text-decoration" || property == "text-decoration-line") {
                ApplyDecoration(value, look);
            }
        }
        return look;
    }

    void AddText(std::string_view text, std::size_t look) {
        for (std::size_t at = 0; at < text.size();) {
            std::size_t length = 1;
            if (IsBlankByte(text, at, length)) {
                Space();
            } else {
                m_pendingSpace = m_pendingSpace && !m_result.m_text.empty();
                if (m_pendingSpace) {
                    m_result.m_text += ' ';
                    m_result.m_lookOf.push_back(look);
                }
                m_pendingSpace = false;
                m_result.m_text += text[at];
                m_result.m_lookOf.push_back(look);
            }
            at += length;
        }
    }

    void Space() { m_pendingSpace = true; }

    void Walk(const GumboNode& node, const ElementSubject* parentSubject, std::size_t parentLook) {
        if (node.type == GUMBO_NODE_DOCUMENT) {
            for (unsigned i = 0; i < node.v.document.children.length; ++i)
                Walk(*static_cast<const GumboNode*>(node.v.document.children.data[i]), nullptr,
                     parentLook);
            return;
        }
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE ||
            node.type == GUMBO_NODE_CDATA) {
            AddText(node.v.text.text, parentLook);
            return;
        }
        if (!IsElement(node)) return;
        const GumboElement& element = node.v.element;
        if (element.tag == GUMBO_TAG_HEAD || element.tag == GUMBO_TAG_SCRIPT ||
            element.tag == GUMBO_TAG_STYLE || element.tag == GUMBO_TAG_TITLE)
            return;
        const ElementSubject subject(element, parentSubject);
        const std::optional<TextLook> look = LookOf(element, subject, m_result.m_looks[parentLook]);
        if (!look) return;
        std::size_t lookIndex = parentLook;
        if (!SameLook(*look, m_result.m_looks[parentLook])) {
            m_result.m_looks.push_back(*look);
            lookIndex = m_result.m_looks.size() - 1;
        }
        const bool block = HoldsToken(kBlockElements, TagName(element));
        if (block) Space();
        for (unsigned i = 0; i < element.children.length; ++i)
            Walk(ChildAt(element, i), &subject, lookIndex);
        if (block) Space();
    }

    StyledText& m_result;
    std::vector<CascadeRule> m_rules;
    bool m_pendingSpace = false;
};

StyledText::StyledText(std::string_view html, const std::vector<std::string>& sheets) {
    const GumboDocument page(html);
    StyledTextBuilder(*this, page, sheets);
}

std::vector<std::size_t> StyledText::Find(std::string_view text) const {
    const std::string wanted = SingleSpaced(text);
    std::vector<std::size_t> found;
    if (wanted.empty()) return found;
    for (std::size_t at = m_text.find(wanted); at != std::string::npos;
         at = m_text.find(wanted, at + 1))
        found.push_back(at);
    return found;
}

bool StyledText::AnyOccurrence(std::string_view text,
                               const std::function<bool(const TextLook&)>& accept) const {
    const std::size_t length = SingleSpaced(text).size();
    for (const std::size_t at : Find(text)) {
        bool all = true;
        for (std::size_t i = at; i < at + length && all; ++i)
            if (m_text[i] != ' ' && !accept(LookAt(i))) all = false;
        if (all) return true;
    }
    return false;
}

std::vector<std::pair<std::size_t, std::size_t>> StyledText::Runs() const {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::size_t start = 0;
    for (std::size_t at = 1; at <= m_text.size(); ++at) {
        if (at < m_text.size() && SameLook(LookAt(at), LookAt(start))) continue;
        std::size_t first = start, last = at;
        while (first < last && m_text[first] == ' ') ++first;
        while (last > first && m_text[last - 1] == ' ') --last;
        if (last > first) runs.emplace_back(first, last - first);
        start = at;
    }
    return runs;
}

}  // namespace quirebook::testing
