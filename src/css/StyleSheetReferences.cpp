#include "css/StyleSheetReferences.h"

#include <cctype>

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsNameByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// The end (one past the closing quote) of the string that opens at `at`; a string that meets a
// line end or the end of the text ends there, as CSS reads it.
std::size_t StringEnd(std::string_view text, std::size_t at) {
    const char quote = text[at];
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == quote) {
            return i + 1;
        } else if (text[i] == '\n') {
            return i;
        }
    }
    return text.size();
}

// The text of a quoted or bare value with its quotes and backslash escapes undone.
std::string Unescaped(std::string_view value) {
    if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
        value.remove_prefix(1);
        if (!value.empty() && (value.back() == '"' || value.back() == '\'')) value.remove_suffix(1);
    }
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        text += value[i];
    }
    return text;
}

std::string QuotedUrl(const std::string& value) {
    std::string url = "url(\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') url += '\\';
        url += c;
    }
    return url + "\")";
}

// A url() token at `at`: where it ends and its value; End is npos when it is not closed.
struct UrlToken {
    std::size_t End = npos;
    std::string Value;
};

UrlToken ReadUrl(std::string_view text, std::size_t at) {
    std::size_t i = at + 4;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::size_t valueStart = i;
    std::size_t valueEnd = 0;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        i = StringEnd(text, i);
        valueEnd = i;
        while (i < text.size() && IsBlank(text[i])) ++i;
    } else {
        while (i < text.size() && text[i] != ')') i += text[i] == '\\' ? 2 : 1;
        i = std::min(i, text.size());
        valueEnd = i;
        while (valueEnd > valueStart && IsBlank(text[valueEnd - 1])) --valueEnd;
    }
    if (i >= text.size() || text[i] != ')') return {};
    return {i + 1, Unescaped(text.substr(valueStart, valueEnd - valueStart))};
}

bool IsUrlAt(std::string_view text, std::size_t at) {
    return HoldsAtAnyCase(text, at, "url(") && (at == 0 || !IsNameByte(text[at - 1]));
}

class Rewriter {
  public:
    Rewriter(std::string_view style, const StyleReferenceMap& map) : m_in(style), m_map(map) {
        m_out.reserve(style.size());
    }

    std::string Run() {
        while (m_at < m_in.size()) Step();
        CloseDeclaration();
        return std::move(m_out);
    }

  private:
    void Step() {
        const char c = m_in[m_at];
        if (c == '/' && m_in.substr(m_at, 2) == "/*") {
            const std::size_t end = m_in.find("*/", m_at + 2);
            Copy(end == npos ? m_in.size() : end + 2);
        } else if (c == '"' || c == '\'') {
            Copy(StringEnd(m_in, m_at));
        } else if (c == '@' && HoldsAtAnyCase(m_in, m_at, "@import") &&
                   (m_at + 7 >= m_in.size() || !IsNameByte(m_in[m_at + 7]))) {
            Import();
        } else if ((c == 'u' || c == 'U') && IsUrlAt(m_in, m_at)) {
            Url();
        } else {
            Structure(c);
        }
    }

    void Copy(std::size_t end) {
        m_out.append(m_in, m_at, end - m_at);
        m_at = end;
    }

    // "@import" with a url() or a string, then any media list, up to its ";".
    void Import() {
        std::size_t i = m_at + 7;
        while (i < m_in.size() && IsBlank(m_in[i])) ++i;
        std::size_t targetEnd = npos;
        std::string value;
        if (i < m_in.size() && (m_in[i] == '"' || m_in[i] == '\'')) {
            targetEnd = StringEnd(m_in, i);
            value = Unescaped(m_in.substr(i, targetEnd - i));
        } else if (IsUrlAt(m_in, i)) {
            const UrlToken url = ReadUrl(m_in, i);
            targetEnd = url.End;
            value = url.Value;
        }
        std::size_t ruleEnd = i;
        while (ruleEnd < m_in.size() && m_in[ruleEnd] != ';') {
            ruleEnd = m_in[ruleEnd] == '"' || m_in[ruleEnd] == '\'' ? StringEnd(m_in, ruleEnd)
                                                                    : ruleEnd + 1;
        }
        ruleEnd = std::min(ruleEnd + 1, m_in.size());
        if (targetEnd == npos || targetEnd > ruleEnd) {
            Copy(ruleEnd);  // not a rule this reads: left as it is
            return;
        }
        const std::optional<std::string> mapped = m_map(StyleReferenceKind::Import, value);
        if (!mapped) {
            m_at = ruleEnd;
            return;
        }
        if (*mapped == value) {
            Copy(ruleEnd);
            return;
        }
        m_out += "@import " + QuotedUrl(*mapped);
        m_at = targetEnd;
        Copy(ruleEnd);
    }

    void Url() {
        const UrlToken url = ReadUrl(m_in, m_at);
        if (url.End == npos) {
            Copy(m_in.size());
            return;
        }
        const std::optional<std::string> mapped = m_map(StyleReferenceKind::Url, url.Value);
        if (!mapped) {
            m_dropItem = true;
            m_at = url.End;
        } else if (*mapped == url.Value) {
            Copy(url.End);
        } else {
            m_out += QuotedUrl(*mapped);
            m_at = url.End;
        }
    }

    // Parentheses, and the ":", "," and ";" that divide declarations into items.
    void Structure(char c) {
        ++m_at;
        if (c == '(') ++m_depth;
        if (c == ')' && m_depth > 0) --m_depth;
        if (m_depth == 0 && c == ':' && m_valueStart == npos) {
            m_out += c;
            m_valueStart = m_itemStart = m_out.size();
            return;
        }
        if (m_depth == 0 && c == ',' && m_valueStart != npos) {
            if (m_dropItem) {
                m_out.erase(m_itemStart);
                m_dropItem = false;
                m_itemRemoved = true;
                return;
            }
            m_out += c;
            m_itemStart = m_out.size();
            return;
        }
        if (c == ';' || c == '{' || c == '}') {
            m_depth = 0;
            const bool dropped = CloseDeclaration();
            if (!(dropped && c == ';')) m_out += c;
            m_declarationStart = m_out.size();
            return;
        }
        m_out += c;
    }

    // Ends the declaration under way: the item holding a removed url() goes, and the whole
    // declaration when its value is left empty. True when the declaration went.
    bool CloseDeclaration() {
        bool dropped = false;
        if (m_valueStart != npos && (m_dropItem || m_itemRemoved)) {
            if (m_dropItem) {
                m_out.erase(m_itemStart);
                // The comma before a removed last item goes with it.
                std::size_t end = m_out.size();
                while (end > m_valueStart && IsBlank(m_out[end - 1])) --end;
                if (end > m_valueStart && m_out[end - 1] == ',') m_out.erase(end - 1);
            }
            const bool empty = m_out.find_first_not_of(" \t\r\n\f", m_valueStart) == npos;
            if (empty) {
                m_out.erase(m_declarationStart);
                dropped = true;
            }
        }
        m_valueStart = m_itemStart = npos;
        m_dropItem = m_itemRemoved = false;
        return dropped;
    }

    std::string_view m_in;
    const StyleReferenceMap& m_map;
    std::string m_out;
    std::size_t m_at = 0;
    std::size_t m_depth = 0;
    std::size_t m_declarationStart = 0;  // in m_out
    std::size_t m_valueStart = npos;     // in m_out, after the declaration's ":"
    std::size_t m_itemStart = npos;      // in m_out, where the value's current item starts
    bool m_dropItem = false;             // the current item held a removed url()
    bool m_itemRemoved = false;          // an item of this declaration was removed
};

}  // namespace

std::string RewriteStyleReferences(std::string_view style, const StyleReferenceMap& map) {
    return Rewriter(style, map).Run();
}

}  // namespace quirebook
