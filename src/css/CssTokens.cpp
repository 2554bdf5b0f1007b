// Reading style text as CSS tokens, by the tokenizer rules of CSS Syntax Level 3.
#include "css/CssTokens.h"

namespace quirebook {

namespace {

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r' || c == '\f';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || IsLineEnd(c);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameByte(char c) {
    return IsNameStart(c) || IsDigit(c) || c == '-';
}

// Bytes 0 to 8, 11, 14 to 31 and 127: a url may not hold them unescaped.
bool IsNonPrintable(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 8 || byte == 11 || (byte >= 14 && byte <= 31) || byte == 127;
}

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view css) : m_css(css) {}

    std::vector<CssToken> Read() {
        std::vector<CssToken> tokens;
        while (m_at < m_css.size()) {
            CssToken token;
            token.Begin = m_at;
            ReadToken(token);
            token.End = m_at;
            tokens.push_back(token);
        }
        return tokens;
    }

  private:
    // The byte `ahead` places after the current one, or 0 past the end.
    char Peek(std::size_t ahead = 0) const {
        return m_at + ahead < m_css.size() ? m_css[m_at + ahead] : '\0';
    }

    bool AtEnd(std::size_t ahead = 0) const { return m_at + ahead >= m_css.size(); }

    // Whether the bytes from `ahead` on are a backslash and the byte it escapes.
    bool ValidEscape(std::size_t ahead = 0) const {
        return Peek(ahead) == '\\' && !AtEnd(ahead + 1) && !IsLineEnd(Peek(ahead + 1));
    }

    bool StartsIdentifier(std::size_t ahead = 0) const {
        const char c = Peek(ahead);
        if (c == '-') {
            const char next = Peek(ahead + 1);
            return (!AtEnd(ahead + 1) && IsNameStart(next)) || next == '-' ||
                   ValidEscape(ahead + 1);
        }
        if (!AtEnd(ahead) && IsNameStart(c)) return true;
        return ValidEscape(ahead);
    }

    bool StartsNumber() const {
        const char c = Peek();
        if (c == '+' || c == '-') return IsDigit(Peek(1)) || (Peek(1) == '.' && IsDigit(Peek(2)));
        if (c == '.') return IsDigit(Peek(1));
        return IsDigit(c);
    }

    void ReadToken(CssToken& token) {
        const char c = Peek();
        if (c == '/' && Peek(1) == '*') {
            token.Type = CssTokenType::Comment;
            const std::size_t end = m_css.find("*/", m_at + 2);
            token.Unclosed = end == std::string_view::npos;
            m_at = token.Unclosed ? m_css.size() : end + 2;
        } else if (IsBlank(c)) {
            token.Type = CssTokenType::Whitespace;
            while (!AtEnd() && IsBlank(Peek())) ++m_at;
        } else if (c == '"' || c == '\'') {
            ++m_at;
            ReadString(c, token);
        } else if (c == '#' && (IsNameByte(Peek(1)) || ValidEscape(1))) {
            token.Type = CssTokenType::Hash;
            ++m_at;
            token.IdHash = StartsIdentifier();
            ReadName();
        } else if (StartsNumber()) {
            ReadNumeric(token);
        } else if (c == '-' && Peek(1) == '-' && Peek(2) == '>') {
            token.Type = CssTokenType::Cdc;
            m_at += 3;
        } else if (StartsIdentifier()) {
            ReadIdentLike(token);
        } else if (c == '<' && m_css.compare(m_at, 4, "<!--") == 0) {
            token.Type = CssTokenType::Cdo;
            m_at += 4;
        } else if (c == '@' && StartsIdentifier(1)) {
            token.Type = CssTokenType::AtKeyword;
            ++m_at;
            ReadName();
        } else {
            token.Type = SingleByteType(c);
            ++m_at;
        }
    }

    static CssTokenType SingleByteType(char c) {
        switch (c) {
            case ':':
                return CssTokenType::Colon;
            case ';':
                return CssTokenType::Semicolon;
            case ',':
                return CssTokenType::Comma;
            case '[':
                return CssTokenType::OpenSquare;
            case ']':
                return CssTokenType::CloseSquare;
            case '(':
                return CssTokenType::OpenParen;
            case ')':
                return CssTokenType::CloseParen;
            case '{':
                return CssTokenType::OpenCurly;
            case '}':
                return CssTokenType::CloseCurly;
            default:
                return CssTokenType::Delim;
        }
    }

    // After the backslash of a valid escape: its hex digits and one blank after them, or the
    // one character it escapes.
    void ReadEscape() {
        if (IsHexDigit(Peek())) {
            for (int digits = 0; digits < 6 && IsHexDigit(Peek()); ++digits) ++m_at;
            if (Peek() == '\r' && Peek(1) == '\n') ++m_at;
            if (!AtEnd() && IsBlank(Peek())) ++m_at;
        } else if (!AtEnd()) {
            ++m_at;
        }
    }

    void ReadName() {
        while (!AtEnd()) {
            if (IsNameByte(Peek())) {
                ++m_at;
            } else if (ValidEscape()) {
                ++m_at;
                ReadEscape();
            } else {
                return;
            }
        }
    }

    // After the opening quote.
    void ReadString(char quote, CssToken& token) {
        token.Type = CssTokenType::String;
        while (true) {
            if (AtEnd()) {
                token.Unclosed = true;
                return;
            }
            const char c = Peek();
            if (c == quote) {
                ++m_at;
                return;
            }
            if (IsLineEnd(c)) {  // the line end is not the string's
                token.Type = CssTokenType::BadString;
                return;
            }
            ++m_at;
            if (c != '\\' || AtEnd()) continue;
            if (IsLineEnd(Peek())) {
                token.EscapedLineEnd = true;
                m_at += Peek() == '\r' && Peek(1) == '\n' ? 2 : 1;
            } else {
                ReadEscape();
            }
        }
    }

    void ReadNumeric(CssToken& token) {
        if (Peek() == '+' || Peek() == '-') ++m_at;
        while (IsDigit(Peek())) ++m_at;
        if (Peek() == '.' && IsDigit(Peek(1))) {
            ++m_at;
            while (IsDigit(Peek())) ++m_at;
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            m_at += 2;
            while (IsDigit(Peek())) ++m_at;
        }
        if (StartsIdentifier()) {
            token.Type = CssTokenType::Dimension;
            ReadName();
        } else if (Peek() == '%') {
            token.Type = CssTokenType::Percentage;
            ++m_at;
        } else {
            token.Type = CssTokenType::Number;
        }
    }

    void ReadIdentLike(CssToken& token) {
        const std::size_t start = m_at;
        ReadName();
        if (Peek() != '(') {
            token.Type = CssTokenType::Ident;
            return;
        }
        ++m_at;
        token.Type = CssTokenType::Function;
        if (CssTokenName(m_css, CssToken{CssTokenType::Ident, start, m_at - 1}) != "url") return;
        // url( followed by a quoted string is a function; else the url runs to its ")".
        std::size_t ahead = 0;
        while (IsBlank(Peek(ahead))) ++ahead;
        if (Peek(ahead) == '"' || Peek(ahead) == '\'') return;
        m_at += ahead;
        ReadUrl(token);
    }

    // After "url(" and the blanks after it.
    void ReadUrl(CssToken& token) {
        token.Type = CssTokenType::Url;
        while (true) {
            if (AtEnd()) {
                token.Unclosed = true;
                return;
            }
            const char c = Peek();
            if (c == ')') {
                ++m_at;
                return;
            }
            if (IsBlank(c)) {
                while (IsBlank(Peek())) ++m_at;
                if (Peek() == ')' || AtEnd()) continue;
                break;
            }
            if (c == '"' || c == '\'' || c == '(' || IsNonPrintable(c)) break;
            if (c == '\\') {
                if (!ValidEscape()) break;
                ++m_at;
                ReadEscape();
                continue;
            }
            ++m_at;
        }
        // The rest of a bad url, up to its ")".
        token.Type = CssTokenType::BadUrl;
        while (!AtEnd() && Peek() != ')') {
            if (ValidEscape()) {
                ++m_at;
                ReadEscape();
            } else {
                ++m_at;
            }
        }
        if (!AtEnd()) ++m_at;
    }

    std::string_view m_css;
    std::size_t m_at = 0;
};

unsigned long HexValue(char c) {
    if (IsDigit(c)) return static_cast<unsigned long>(c - '0');
    return static_cast<unsigned long>((c | 0x20) - 'a' + 10);
}

void AppendUtf8(std::string& text, unsigned long code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::vector<CssToken> ReadCssTokens(std::string_view css) {
    return Tokenizer(css).Read();
}

std::string CssTokenName(std::string_view css, const CssToken& token) {
    std::string_view text = css.substr(token.Begin, token.End - token.Begin);
    if (token.Type == CssTokenType::AtKeyword || token.Type == CssTokenType::Hash)
        text.remove_prefix(1);
    if (token.Type == CssTokenType::Function && !text.empty()) text.remove_suffix(1);
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            std::size_t digits = 0;
            unsigned long code = 0;
            while (digits < 6 && i + 1 + digits < text.size() && IsHexDigit(text[i + 1 + digits])) {
                code = code * 16 + HexValue(text[i + 1 + digits]);
                ++digits;
            }
            if (digits == 0) {
                c = text[++i];
            } else {
                i += digits;
                if (i + 1 < text.size() && IsBlank(text[i + 1])) ++i;
                AppendUtf8(name, code);
                continue;
            }
        }
        name += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return name;
}

}  // namespace quirebook
