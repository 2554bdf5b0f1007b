#include "css/StyleRules.h"

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Reads a sheet from left to right; every position it hands out is a byte offset into the sheet.
class RuleReader {
  public:
    explicit RuleReader(std::string_view css) : m_css(css) {}

    std::vector<StyleRule> Read() {
        std::vector<std::string> conditions;
        ReadRuleList(conditions);
        return std::move(m_rules);
    }

  private:
    bool AtEnd() const { return m_at >= m_css.size(); }

    // Past a comment or a string that starts at the current byte; false when none does.
    bool SkipCommentOrString() {
        if (m_css.compare(m_at, 2, "/*") == 0) {
            const std::size_t end = m_css.find("*/", m_at + 2);
            m_at = end == std::string_view::npos ? m_css.size() : end + 2;
            return true;
        }
        const char quote = m_css[m_at];
        if (quote != '"' && quote != '\'') return false;
        for (++m_at; m_at < m_css.size(); ++m_at) {
            if (m_css[m_at] == '\\') {
                ++m_at;
            } else if (m_css[m_at] == quote) {
                ++m_at;
                return true;
            } else if (m_css[m_at] == '\n') {
                return true;  // an unclosed string ends at its line's end
            }
        }
        return true;
    }

    // Moves to the first byte of `stops` that stands outside comments, strings, parentheses and
    // brackets (or to the end). A backslash escapes the byte after it.
    void SkipTo(std::string_view stops) {
        int depth = 0;
        while (!AtEnd()) {
            if (SkipCommentOrString()) continue;
            const char c = m_css[m_at];
            if (c == '\\') {
                m_at += 2;
                continue;
            }
            if (depth == 0 && stops.find(c) != std::string_view::npos) return;
            if (c == '(' || c == '[') ++depth;
            if ((c == ')' || c == ']') && depth > 0) --depth;
            ++m_at;
        }
    }

    // Past the block whose "{" is the current byte, nested blocks included.
    void SkipBlock() {
        int depth = 0;
        while (!AtEnd()) {
            if (SkipCommentOrString()) continue;
            const char c = m_css[m_at++];
            if (c == '\\') {
                ++m_at;
            } else if (c == '{') {
                ++depth;
            } else if (c == '}' && --depth == 0) {
                return;
            }
        }
    }

    void SkipBlanksAndComments() {
        while (!AtEnd()) {
            if (IsBlank(m_css[m_at])) {
                ++m_at;
            } else if (m_css.compare(m_at, 2, "/*") == 0) {
                SkipCommentOrString();
            } else if (m_css.compare(m_at, 4, "<!--") == 0) {
                m_at += 4;  // the comment markers old pages put around style text
            } else if (m_css.compare(m_at, 3, "-->") == 0) {
                m_at += 3;
            } else {
                return;
            }
        }
    }

    // The rules up to the "}" that closes the enclosing block (consumed) or the end.
    void ReadRuleList(std::vector<std::string>& conditions) {
        while (true) {
            SkipBlanksAndComments();
            if (AtEnd()) return;
            const char c = m_css[m_at];
            if (c == '}') {
                ++m_at;
                return;
            }
            if (c == '@') {
                ReadAtRule(conditions);
            } else {
                ReadStyleRule(conditions);
            }
        }
    }

    void ReadAtRule(std::vector<std::string>& conditions) {
        std::size_t nameEnd = m_at + 1;
        while (nameEnd < m_css.size() && !IsBlank(m_css[nameEnd]) &&
               std::string_view("{;(\"'/").find(m_css[nameEnd]) == std::string_view::npos)
            ++nameEnd;
        const std::string name = AsciiLower(m_css.substr(m_at + 1, nameEnd - m_at - 1));
        m_at = nameEnd;
        const std::size_t preludeStart = m_at;
        SkipTo("{;}");
        if (AtEnd()) return;
        if (m_css[m_at] == ';') {
            ++m_at;
            return;
        }
        if (m_css[m_at] == '}') return;  // a statement cut short by the enclosing block's end
        if (name == "media" || name == "supports") {
            conditions.push_back("@" + name + " " +
                                 WithoutComments(m_css.substr(preludeStart, m_at - preludeStart)));
            ++m_at;
            ReadRuleList(conditions);
            conditions.pop_back();
            return;
        }
        SkipBlock();
    }

    void ReadStyleRule(const std::vector<std::string>& conditions) {
        StyleRule rule;
        rule.Begin = m_at;
        SkipTo("{}");
        rule.Selectors = WithoutComments(m_css.substr(rule.Begin, m_at - rule.Begin));
        if (AtEnd()) return;
        if (m_css[m_at] == '}') {  // a stray "}" with no rule before it
            ++m_at;
            return;
        }
        ++m_at;
        ReadDeclarations(rule);
        rule.End = m_at;
        rule.Conditions = conditions;
        m_rules.push_back(std::move(rule));
    }

    // The declarations up to the rule's "}" (consumed) or the end of the sheet.
    void ReadDeclarations(StyleRule& rule) {
        while (true) {
            SkipBlanksAndComments();
            if (AtEnd()) return;
            if (m_css[m_at] == '}') {
                ++m_at;
                return;
            }
            if (m_css[m_at] == ';') {
                ++m_at;
                continue;
            }
            if (m_css[m_at] == '{') {  // a nested block is no declaration
                SkipBlock();
                continue;
            }
            const std::size_t begin = m_at;
            SkipTo(";{}");
            const std::size_t valueEnd = m_at;
            if (!AtEnd() && m_css[m_at] == ';') ++m_at;
            AddDeclaration(rule, begin, valueEnd, m_at);
        }
    }

    void AddDeclaration(StyleRule& rule, std::size_t begin, std::size_t valueEnd, std::size_t end) {
        const std::string text = WithoutComments(m_css.substr(begin, valueEnd - begin));
        const std::size_t colon = text.find(':');
        if (colon == std::string::npos) return;
        StyleDeclaration declaration;
        declaration.Property = AsciiLower(Trimmed(std::string_view(text).substr(0, colon)));
        std::string_view value = Trimmed(std::string_view(text).substr(colon + 1));
        const std::size_t bang = value.rfind('!');
        if (bang != std::string_view::npos &&
            AsciiLower(Trimmed(value.substr(bang + 1))) == "important") {
            declaration.Important = true;
            value = Trimmed(value.substr(0, bang));
        }
        declaration.Value = std::string(value);
        declaration.Begin = begin;
        declaration.End = end;
        ValueBytes(begin, valueEnd, declaration);
        rule.Declarations.push_back(std::move(declaration));
    }

    // Where the value of the declaration written from `begin` to `end` stands in the sheet.
    void ValueBytes(std::size_t begin, std::size_t end, StyleDeclaration& declaration) const {
        RuleReader reader(m_css.substr(0, end));
        reader.m_at = begin;
        reader.SkipTo(":");
        reader.m_at = std::min(reader.m_at + 1, end);
        while (reader.m_at < end && IsBlank(m_css[reader.m_at])) ++reader.m_at;
        declaration.ValueBegin = reader.m_at;
        std::size_t valueEnd = end;
        // The "!" of "!important" (blanks may stand between), not one in a comment after it.
        for (std::size_t bang = end; declaration.Important && bang > declaration.ValueBegin;) {
            bang = m_css.rfind('!', bang - 1);
            if (bang == std::string_view::npos || bang < declaration.ValueBegin) break;
            std::size_t word = bang + 1;
            while (word < end && IsBlank(m_css[word])) ++word;
            if (HoldsAtAnyCase(m_css, word, "important")) {
                valueEnd = bang;
                break;
            }
        }
        while (valueEnd > declaration.ValueBegin && IsBlank(m_css[valueEnd - 1])) --valueEnd;
        declaration.ValueEnd = valueEnd;
    }

    // `text` without its comments, trimmed.
    static std::string WithoutComments(std::string_view text) {
        std::string kept;
        RuleReader reader(text);
        while (!reader.AtEnd()) {
            const std::size_t from = reader.m_at;
            if (text.compare(from, 2, "/*") == 0) {
                reader.SkipCommentOrString();
                kept += ' ';
            } else if (reader.SkipCommentOrString()) {
                kept.append(text, from, reader.m_at - from);
            } else {
                kept += text[reader.m_at++];
            }
        }
        return std::string(Trimmed(kept));
    }

    std::string_view m_css;
    std::size_t m_at = 0;
    std::vector<StyleRule> m_rules;
};

}  // namespace

std::vector<StyleRule> ReadStyleRules(std::string_view css) {
    return RuleReader(css).Read();
}

std::vector<std::string> SplitSelectorList(std::string_view selectors) {
    std::vector<std::string> parts;
    int depth = 0;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < selectors.size(); ++i) {
        const char c = selectors[i];
        if (quote != 0) {
            if (c == '\\') {
                ++i;
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (c == '\\') {
            ++i;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '(' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
        } else if (c == ',' && depth == 0) {
            parts.emplace_back(Trimmed(selectors.substr(start, i - start)));
            start = i + 1;
        }
    }
    const std::string_view last = Trimmed(selectors.substr(std::min(start, selectors.size())));
    if (!last.empty() || !parts.empty()) parts.emplace_back(last);
    return parts;
}

bool AppliesOnEveryScreen(const std::vector<std::string>& conditions) {
    for (const std::string& condition : conditions) {
        // A rule under @supports is taken to apply: readers have what sites test for.
        if (condition.rfind("@supports", 0) == 0) continue;
        // A media query list holds every screen when one of its queries does.
        bool holds = false;
        for (const std::string& query : SplitSelectorList(AsciiLower(condition.substr(6)))) {
            if (query == "screen" || query == "all" || query == "only screen" ||
                query == "only all")
                holds = true;
        }
        if (!holds) return false;
    }
    return true;
}

}  // namespace quirebook
