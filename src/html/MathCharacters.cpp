#include "html/MathCharacters.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quirebook {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool InRange(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

// An accent's spacing form and its combining mark.
constexpr std::array<std::pair<char32_t, char32_t>, 15> kAccents{{
    {U'\u02C6', U'\u0302'},  // circumflex, the hat
    {U'^', U'\u0302'},
    {U'\u02DC', U'\u0303'},  // tilde
    {U'~', U'\u0303'},
    {U'\u00AF', U'\u0304'},  // macron, the bar
    {U'\u02D8', U'\u0306'},  // breve
    {U'\u02D9', U'\u0307'},  // dot
    {U'\u00A8', U'\u0308'},  // two dots
    {U'\u02DA', U'\u030A'},  // ring
    {U'\u02C7', U'\u030C'},  // caron, the check
    {U'\u00B4', U'\u0301'},  // acute
    {U'`', U'\u0300'},       // grave
    {U'\u2192', U'\u20D7'},  // the vector's arrow
    {U'\u2190', U'\u20D6'},
    {U'\u2194', U'\u20E1'},
}};

struct Alphabet {
    MathAlphabet Style;
    std::string_view Name;
    char32_t Capitals, Smalls, Digits;  // where A, a and 0 stand; 0 for none
};

constexpr std::array<Alphabet, 14> kAlphabets{{
    {MathAlphabet::Normal, "normal", 0, 0, 0},
    {MathAlphabet::Bold, "bold", 0x1D400, 0x1D41A, 0x1D7CE},
    {MathAlphabet::Italic, "italic", 0x1D434, 0x1D44E, 0},
    {MathAlphabet::BoldItalic, "bold-italic", 0x1D468, 0x1D482, 0},
    {MathAlphabet::Script, "script", 0x1D49C, 0x1D4B6, 0},
    {MathAlphabet::BoldScript, "bold-script", 0x1D4D0, 0x1D4EA, 0},
    {MathAlphabet::Fraktur, "fraktur", 0x1D504, 0x1D51E, 0},
    {MathAlphabet::BoldFraktur, "bold-fraktur", 0x1D56C, 0x1D586, 0},
    {MathAlphabet::DoubleStruck, "double-struck", 0x1D538, 0x1D552, 0x1D7D8},
    {MathAlphabet::SansSerif, "sans-serif", 0x1D5A0, 0x1D5BA, 0x1D7E2},
    {MathAlphabet::SansSerifBold, "bold-sans-serif", 0x1D5D4, 0x1D5EE, 0x1D7EC},
    {MathAlphabet::SansSerifItalic, "sans-serif-italic", 0x1D608, 0x1D622, 0},
    {MathAlphabet::SansSerifBoldItalic, "sans-serif-bold-italic", 0x1D63C, 0x1D656, 0},
    {MathAlphabet::Monospace, "monospace", 0x1D670, 0x1D68A, 0x1D7F6},
}};

// Letters Unicode had encoded among the letterlike symbols before the mathematical alphabets:
// their places in those alphabets are empty.
struct Exception {
    MathAlphabet Style;
    char Letter;
    char32_t Character;
};

constexpr std::array<Exception, 24> kExceptions{{
    {MathAlphabet::Italic, 'h', 0x210E},       {MathAlphabet::Script, 'B', 0x212C},
    {MathAlphabet::Script, 'E', 0x2130},       {MathAlphabet::Script, 'F', 0x2131},
    {MathAlphabet::Script, 'H', 0x210B},       {MathAlphabet::Script, 'I', 0x2110},
    {MathAlphabet::Script, 'L', 0x2112},       {MathAlphabet::Script, 'M', 0x2133},
    {MathAlphabet::Script, 'R', 0x211B},       {MathAlphabet::Script, 'e', 0x212F},
    {MathAlphabet::Script, 'g', 0x210A},       {MathAlphabet::Script, 'o', 0x2134},
    {MathAlphabet::Fraktur, 'C', 0x212D},      {MathAlphabet::Fraktur, 'H', 0x210C},
    {MathAlphabet::Fraktur, 'I', 0x2111},      {MathAlphabet::Fraktur, 'R', 0x211C},
    {MathAlphabet::Fraktur, 'Z', 0x2128},      {MathAlphabet::DoubleStruck, 'C', 0x2102},
    {MathAlphabet::DoubleStruck, 'H', 0x210D}, {MathAlphabet::DoubleStruck, 'N', 0x2115},
    {MathAlphabet::DoubleStruck, 'P', 0x2119}, {MathAlphabet::DoubleStruck, 'Q', 0x211A},
    {MathAlphabet::DoubleStruck, 'R', 0x211D}, {MathAlphabet::DoubleStruck, 'Z', 0x2124},
}};

char32_t InAlphabet(char32_t c, const Alphabet& alphabet) {
    const bool capital = c >= 'A' && c <= 'Z';
    const bool small = c >= 'a' && c <= 'z';
    if (capital || small) {
        for (const Exception& exception : kExceptions)
            if (exception.Style == alphabet.Style && exception.Letter == static_cast<char>(c))
                return exception.Character;
        const char32_t start = capital ? alphabet.Capitals : alphabet.Smalls;
        return start == 0 ? c : start + (c - (capital ? U'A' : U'a'));
    }
    if (c >= '0' && c <= '9' && alphabet.Digits != 0) return alphabet.Digits + (c - U'0');
    return c;
}

}  // namespace

char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length - 1 > text.size()) return kReplacement;
    char32_t c = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at]);
        if ((next & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (next & 0x3F);
        ++at;
    }
    return c;
}

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsMathLetter(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    if (InRange(c, 0xC0, 0x24F)) return c != 0xD7 && c != 0xF7;
    return InRange(c, 0x370, 0x3FF) || InRange(c, 0x400, 0x52F) || InRange(c, 0x5D0, 0x6FF) ||
           InRange(c, 0x2100, 0x214F) || InRange(c, 0x1D400, 0x1D7CB) ||
           InRange(c, 0x3040, 0x9FFF) || InRange(c, 0xAC00, 0xD7AF) || c == 0x221E || c == 0x2202 ||
           c == 0x2207 || c == 0x2205;
}

bool IsItalicLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || InRange(c, 0x391, 0x3A9) ||
           InRange(c, 0x3B1, 0x3C9) || c == 0x3D1 || c == 0x3D5 || c == 0x3D6 || c == 0x3F0 ||
           c == 0x3F1 || c == 0x3F5 || c == 0x131 || c == 0x237;
}

bool IsCombiningMark(char32_t c) {
    return InRange(c, 0x300, 0x36F) || InRange(c, 0x1AB0, 0x1AFF) || InRange(c, 0x1DC0, 0x1DFF) ||
           InRange(c, 0x20D0, 0x20FF) || InRange(c, 0xFE20, 0xFE2F);
}

bool IsMathDigit(char32_t c) {
    return (c >= '0' && c <= '9') || InRange(c, 0x1D7CE, 0x1D7FF);
}

OperatorSpacing SpacingOf(std::string_view op) {
    std::size_t at = 0;
    if (op.empty()) return OperatorSpacing::None;
    const char32_t c = NextCodePoint(op, at);
    if (at != op.size()) return OperatorSpacing::None;
    if (c == ',' || c == ';') return OperatorSpacing::After;
    static constexpr std::u32string_view kAround =
        U"=<>+-\u2212\u00B1\u2213\u00D7\u00F7\u00B7\u22C5\u2217\u2218\u2219\u2208\u2209\u220B"
        U"\u220C\u222A\u2229\u2227\u2228\u2216\u223C\u221D\u2254\u225C\u2295\u2296\u2297\u2298"
        U"\u2299";
    const bool around = kAround.find(c) != std::u32string_view::npos ||
                        InRange(c, 0x2190, 0x21FF) || InRange(c, 0x27F5, 0x27FF) ||
                        InRange(c, 0x2243, 0x228B);
    return around ? OperatorSpacing::Around : OperatorSpacing::None;
}

bool IsLargeOperator(std::string_view op) {
    std::size_t at = 0;
    if (op.empty()) return false;
    const char32_t c = NextCodePoint(op, at);
    return at == op.size() &&
           (InRange(c, 0x220F, 0x2211) || InRange(c, 0x222B, 0x2233) ||
            InRange(c, 0x22C0, 0x22C3) || InRange(c, 0x2A00, 0x2A06) || c == 0x2A0C);
}

char32_t CombiningAccent(char32_t accent) {
    for (const auto& [spacing, combining] : kAccents)
        if (accent == spacing || accent == combining) return combining;
    return accent == 0x203E || accent == 0x305 ? 0x305 : 0;
}

char32_t SpacingAccent(char32_t accent) {
    for (const auto& [spacing, combining] : kAccents)
        if (accent == spacing || accent == combining) return spacing;
    return accent == 0x203E || accent == 0x305 ? 0x203E : 0;
}

bool IsOverline(char32_t c) {
    return c == 0xAF || c == 0x203E || c == 0x305 || c == 0x304;
}

bool IsUnderline(char32_t c) {
    return c == '_' || c == 0x332 || c == 0x331;
}

MathAlphabet AlphabetNamed(std::string_view mathvariant) {
    const auto found = std::find_if(kAlphabets.begin(), kAlphabets.end(),
                                    [&](const Alphabet& a) { return a.Name == mathvariant; });
    return found == kAlphabets.end() ? MathAlphabet::Normal : found->Style;
}

std::string InAlphabet(std::string_view text, MathAlphabet alphabet) {
    const Alphabet& chosen = *std::find_if(kAlphabets.begin(), kAlphabets.end(),
                                           [&](const Alphabet& a) { return a.Style == alphabet; });
    if (chosen.Capitals == 0) return std::string(text);
    std::string out;
    for (std::size_t at = 0; at < text.size();)
        AppendCodePoint(out, InAlphabet(NextCodePoint(text, at), chosen));
    return out;
}

}  // namespace quirebook
