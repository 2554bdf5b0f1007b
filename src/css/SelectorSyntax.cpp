// Judging selector lists on CSS tokens by the grammar of Selectors Level 3.
#include "css/SelectorSyntax.h"

namespace quirebook {

namespace {

struct SelectorFault {
    std::string Why;
};

// Reads a selector list from its tokens, comments left out; raises SelectorFault at the first
// token that cannot stand where it is.
class SelectorGrammar {
  public:
    SelectorGrammar(std::string_view css, const std::vector<CssToken>& tokens, std::size_t first,
                    std::size_t last)
        : m_css(css) {
        for (std::size_t i = first; i < last; ++i)
            if (tokens[i].Type != CssTokenType::Comment) m_tokens.push_back(&tokens[i]);
    }

    void ReadList() {
        while (true) {
            SkipBlanks();
            ReadComplex();
            SkipBlanks();
            if (AtEnd()) return;
            if (!Is(CssTokenType::Comma)) Fail();
            ++m_at;
        }
    }

  private:
    bool AtEnd() const { return m_at >= m_tokens.size(); }
    bool Is(CssTokenType type) const { return !AtEnd() && m_tokens[m_at]->Type == type; }
    bool IsDelim(char c) const {
        return Is(CssTokenType::Delim) && m_css[m_tokens[m_at]->Begin] == c;
    }
    bool IsCombinator() const { return IsDelim('>') || IsDelim('+') || IsDelim('~'); }

    [[noreturn]] void Fail() const {
        if (AtEnd()) throw SelectorFault{"it ends where a selector should follow"};
        const CssToken& token = *m_tokens[m_at];
        if (token.Type == CssTokenType::Whitespace)
            throw SelectorFault{"a blank cannot stand here"};
        throw SelectorFault{"\"" + std::string(m_css.substr(token.Begin, token.End - token.Begin)) +
                            "\" cannot stand here"};
    }

    bool SkipBlanks() {
        const std::size_t start = m_at;
        while (Is(CssTokenType::Whitespace)) ++m_at;
        return m_at > start;
    }

    void ReadComplex() {
        ReadCompound();
        while (true) {
            const bool blank = SkipBlanks();
            if (AtEnd() || Is(CssTokenType::Comma)) return;
            if (IsCombinator()) {
                ++m_at;
                SkipBlanks();
            } else if (!blank) {
                Fail();
            }
            ReadCompound();
        }
    }

    // A type selector (with its namespace prefix) when one stands here.
    bool ReadTypeSelector() {
        const auto isName = [&] { return Is(CssTokenType::Ident) || IsDelim('*'); };
        if (IsDelim('|')) {  // "|E": an element in no namespace
            ++m_at;
            if (!isName()) Fail();
            ++m_at;
            return true;
        }
        if (!isName()) return false;
        ++m_at;
        if (IsDelim('|') && m_at + 1 < m_tokens.size() &&
            (m_tokens[m_at + 1]->Type == CssTokenType::Ident ||
             (m_tokens[m_at + 1]->Type == CssTokenType::Delim &&
              m_css[m_tokens[m_at + 1]->Begin] == '*')))
            m_at += 2;
        return true;
    }

    void ReadCompound() {
        bool any = ReadTypeSelector();
        while (ReadSimpleSelector()) any = true;
        if (!any) Fail();
    }

    // An id, class, attribute test or pseudo-class when one stands here.
    bool ReadSimpleSelector() {
        if (Is(CssTokenType::Hash)) {
            if (!m_tokens[m_at]->IdHash) Fail();
            ++m_at;
        } else if (IsDelim('.')) {
            ++m_at;
            if (!Is(CssTokenType::Ident)) Fail();
            ++m_at;
        } else if (Is(CssTokenType::OpenSquare)) {
            ++m_at;
            ReadAttributeTest();
        } else if (Is(CssTokenType::Colon)) {
            ++m_at;
            ReadPseudo();
        } else {
            return false;
        }
        return true;
    }

    // After "[": [prefix|]name, and a match with its value, up to "]".
    void ReadAttributeTest() {
        SkipBlanks();
        if (IsDelim('|') || IsDelim('*') ||
            (Is(CssTokenType::Ident) && m_at + 2 < m_tokens.size() &&
             m_tokens[m_at + 1]->Type == CssTokenType::Delim &&
             m_css[m_tokens[m_at + 1]->Begin] == '|' &&
             m_tokens[m_at + 2]->Type == CssTokenType::Ident)) {
            if (!IsDelim('|')) ++m_at;
            if (!IsDelim('|')) Fail();
            ++m_at;
        }
        if (!Is(CssTokenType::Ident)) Fail();
        ++m_at;
        SkipBlanks();
        if (!Is(CssTokenType::CloseSquare)) {
            ReadAttributeMatch();
            SkipBlanks();
            if (!Is(CssTokenType::Ident) && !Is(CssTokenType::String)) Fail();
            ++m_at;
            SkipBlanks();
        }
        if (!Is(CssTokenType::CloseSquare)) Fail();
        ++m_at;
    }

    // "=", or one of "~|^$*" followed at once by "=".
    void ReadAttributeMatch() {
        for (const char c : std::string_view("~|^$*")) {
            if (!IsDelim(c)) continue;
            ++m_at;
            break;
        }
        if (!IsDelim('=')) Fail();
        ++m_at;
    }

    // After ":": a second ":" for a pseudo-element, then a name or a function.
    void ReadPseudo() {
        if (Is(CssTokenType::Colon)) ++m_at;
        if (Is(CssTokenType::Ident)) {
            ++m_at;
            return;
        }
        if (!Is(CssTokenType::Function)) Fail();
        const bool negation = CssTokenName(m_css, *m_tokens[m_at]) == "not";
        ++m_at;
        SkipBlanks();
        if (negation) {
            if (!ReadTypeSelector() && !ReadSimpleSelector()) Fail();
            SkipBlanks();
        } else {
            while (Is(CssTokenType::Ident) || Is(CssTokenType::String) ||
                   Is(CssTokenType::Number) || Is(CssTokenType::Percentage) ||
                   Is(CssTokenType::Dimension) || IsDelim('+') || IsDelim('-') ||
                   Is(CssTokenType::Whitespace))
                ++m_at;
        }
        if (!Is(CssTokenType::CloseParen)) Fail();
        ++m_at;
    }

    std::string_view m_css;
    std::vector<const CssToken*> m_tokens;
    std::size_t m_at = 0;
};

}  // namespace

std::string SelectorListFault(std::string_view css, const std::vector<CssToken>& tokens,
                              std::size_t first, std::size_t last) {
    try {
        SelectorGrammar(css, tokens, first, last).ReadList();
    } catch (const SelectorFault& fault) {
        return fault.Why;
    }
    return {};
}

bool IsKeyframeSelectorList(std::string_view css, const std::vector<CssToken>& tokens,
                            std::size_t first, std::size_t last) {
    bool expectSelector = true;
    for (std::size_t i = first; i < last; ++i) {
        const CssToken& token = tokens[i];
        if (token.Type == CssTokenType::Whitespace || token.Type == CssTokenType::Comment) continue;
        if (expectSelector) {
            const bool keyword =
                token.Type == CssTokenType::Ident &&
                (CssTokenName(css, token) == "from" || CssTokenName(css, token) == "to");
            if (!keyword && token.Type != CssTokenType::Percentage) return false;
        } else if (token.Type != CssTokenType::Comma) {
            return false;
        }
        expectSelector = !expectSelector;
    }
    return !expectSelector;
}

}  // namespace quirebook
