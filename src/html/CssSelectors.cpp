// Reading and matching the small CSS selector subset that names blocks to leave out of a book.
#include "html/CssSelectors.h"

#include <set>
#include <stdexcept>
#include <utility>

#include "html/XhtmlModel.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Letters, digits, "-" and "_", and every byte of a non-ASCII character.
bool IsNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || c == '-' || c == '_';
}

// Reads one selector of a list, from its text without the commas around it.
class SelectorReader {
  public:
    explicit SelectorReader(std::string_view text) : m_text(text) {}

    ComplexSelector Read() {
        ComplexSelector selector;
        selector.Text = std::string(m_text);
        if (m_text.empty()) Fail("it is empty");
        selector.Compounds.push_back(ReadCompound());
        while (m_at < m_text.size()) {
            const bool blank = SkipBlanks();
            if (m_at == m_text.size()) break;
            bool child = false;
            if (m_text[m_at] == '>') {
                child = true;
                ++m_at;
                SkipBlanks();
            } else if (!blank) {
                Fail(std::string("\"") + m_text[m_at] + "\" is not understood here");
            }
            selector.Children.push_back(child);
            selector.Compounds.push_back(ReadCompound());
        }
        return selector;
    }

  private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw std::invalid_argument("The selector \"" + std::string(m_text) +
                                    "\" cannot be read: " + why);
    }

    bool SkipBlanks() {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && IsBlank(m_text[m_at])) ++m_at;
        return m_at > start;
    }

    std::string ReadName(const char* what) {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && IsNameByte(m_text[m_at])) ++m_at;
        if (m_at == start) Fail(std::string(what) + " is missing");
        return std::string(m_text.substr(start, m_at - start));
    }

    CompoundSelector ReadCompound() {
        CompoundSelector compound;
        bool any = false;
        if (m_at < m_text.size() && m_text[m_at] == '*') {
            ++m_at;
            any = true;
        } else if (m_at < m_text.size() && IsNameByte(m_text[m_at])) {
            compound.Tag = AsciiLower(ReadName("a type"));
            any = true;
        }
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '.') {
                ++m_at;
                compound.Classes.push_back(ReadName("a class name"));
            } else if (c == '#') {
                ++m_at;
                if (!compound.Id.empty()) Fail("it names two ids");
                compound.Id = ReadName("an id");
            } else if (c == '[') {
                ++m_at;
                compound.Attributes.push_back(ReadAttribute());
            } else {
                break;
            }
            any = true;
        }
        if (!any) {
            if (m_at == m_text.size()) Fail("a combinator has nothing after it");
            Fail(std::string("\"") + m_text[m_at] + "\" is not understood here");
        }
        return compound;
    }

    // After "[": name, optional "=" value, "]".
    AttributeTest ReadAttribute() {
        AttributeTest test;
        SkipBlanks();
        test.Name = AsciiLower(ReadName("an attribute name"));
        SkipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == '=') {
            ++m_at;
            SkipBlanks();
            if (m_at < m_text.size() && (m_text[m_at] == '"' || m_text[m_at] == '\'')) {
                const char quote = m_text[m_at];
                const std::size_t close = m_text.find(quote, m_at + 1);
                if (close == std::string_view::npos) Fail("a quoted value is not closed");
                test.Value = std::string(m_text.substr(m_at + 1, close - m_at - 1));
                m_at = close + 1;
            } else {
                test.Value = ReadName("an attribute value");
            }
            SkipBlanks();
        }
        if (m_at >= m_text.size() || m_text[m_at] != ']') Fail("\"[\" is not closed by \"]\"");
        ++m_at;
        return test;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

// The pieces of `text` between commas that lie outside quotes and brackets.
std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ',') {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool HasClass(std::string_view classes, std::string_view name) {
    std::size_t at = 0;
    while (at < classes.size()) {
        while (at < classes.size() && IsBlank(classes[at])) ++at;
        std::size_t end = at;
        while (end < classes.size() && !IsBlank(classes[end])) ++end;
        if (end > at && classes.substr(at, end - at) == name) return true;
        at = end;
    }
    return false;
}

bool CompoundSelects(const CompoundSelector& compound, const SelectorSubject& element) {
    if (!compound.Tag.empty() && element.Tag() != compound.Tag) return false;
    if (!compound.Id.empty() && element.Attribute("id") != std::string_view(compound.Id))
        return false;
    if (!compound.Classes.empty()) {
        const std::optional<std::string_view> classes = element.Attribute("class");
        if (!classes) return false;
        for (const std::string& name : compound.Classes)
            if (!HasClass(*classes, name)) return false;
    }
    for (const AttributeTest& test : compound.Attributes) {
        const std::optional<std::string_view> value = element.Attribute(test.Name);
        if (!value || (test.Value && *value != *test.Value)) return false;
    }
    return true;
}

// Whether compounds 0 to `last` of a selector select `element`, the last one `element` itself.
// The pairs found not to match are remembered, so that long descendant chains on deep pages
// are tried once each.
class ChainMatch {
  public:
    explicit ChainMatch(const ComplexSelector& selector) : m_selector(selector) {}

    bool UpTo(std::size_t last, const SelectorSubject& element) {
        if (m_failed.count({last, &element}) != 0) return false;
        if (Matches(last, element)) return true;
        m_failed.insert({last, &element});
        return false;
    }

  private:
    bool Matches(std::size_t last, const SelectorSubject& element) {
        if (!CompoundSelects(m_selector.Compounds[last], element)) return false;
        if (last == 0) return true;
        const SelectorSubject* ancestor = element.Parent();
        if (m_selector.Children[last - 1]) return ancestor != nullptr && UpTo(last - 1, *ancestor);
        for (; ancestor != nullptr; ancestor = ancestor->Parent())
            if (UpTo(last - 1, *ancestor)) return true;
        return false;
    }

    const ComplexSelector& m_selector;
    std::set<std::pair<std::size_t, const SelectorSubject*>> m_failed;
};

}  // namespace

SelectorList ParseSelectors(std::string_view text) {
    SelectorList selectors;
    if (TrimBlanks(text).empty()) return selectors;
    for (std::string_view piece : SplitAtCommas(text))
        selectors.push_back(SelectorReader(TrimBlanks(piece)).Read());
    return selectors;
}

bool Selects(const ComplexSelector& selector, const SelectorSubject& element) {
    return !selector.Compounds.empty() &&
           ChainMatch(selector).UpTo(selector.Compounds.size() - 1, element);
}

bool SelectsAny(const SelectorList& selectors, const SelectorSubject& element) {
    for (const ComplexSelector& selector : selectors)
        if (Selects(selector, element)) return true;
    return false;
}

std::string SelectorListText(const SelectorList& selectors) {
    std::string text;
    for (const ComplexSelector& selector : selectors)
        text += (text.empty() ? "" : ", ") + selector.Text;
    return text;
}

}  // namespace quirebook
