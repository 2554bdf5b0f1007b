// The characters of equations: UTF-8 code points read and written, which characters are
// letters, digits, operators that stand apart, large operators and accents, and the
// mathematical alphabets (bold, script, double-struck ...) of Unicode.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The code point at byte `at` of `text`, `at` moved past it; a byte that starts no UTF-8
// sequence reads as U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& at);
void AppendCodePoint(std::string& out, char32_t c);

// A letter an identifier is made of (Latin, Greek, Cyrillic, the mathematical alphabets,
// letterlike symbols such as ℝ and ℏ); ∞, ∂, ∇ and ∅ count as letters too, since equations
// name things with them.
bool IsMathLetter(char32_t c);
// A letter that an identifier of one character shows in italics.
bool IsItalicLetter(char32_t c);
bool IsCombiningMark(char32_t c);
// A character a number is written with: an ASCII digit or one of the mathematical alphabets'.
bool IsMathDigit(char32_t c);

// An operator that stands apart from its operands in running equations: relations ("=", "≤",
// "→" ...), the binary operators ("+", "−", "×" ...) and the comma, which takes a space after
// it only.
enum class OperatorSpacing { None, Around, After };
OperatorSpacing SpacingOf(std::string_view op);

// An operator drawn large with limits (∑, ∏, ∫, ⋃ ...).
bool IsLargeOperator(std::string_view op);

// An accent as a character of its own (ˆ, ˜, ¯, →, ˙ ...) and as the combining mark that puts it
// on the character before (U+0302, U+0303 ...): either form gives the other, or 0 when it is no
// accent.
char32_t CombiningAccent(char32_t accent);
char32_t SpacingAccent(char32_t accent);
// A line over or under what it marks (the overline and low line, as characters or as marks).
bool IsOverline(char32_t c);
bool IsUnderline(char32_t c);

// The styles of the mathematical alphabets, as MathML names them (mathvariant).
enum class MathAlphabet {
    Normal,
    Bold,
    Italic,
    BoldItalic,
    Script,
    BoldScript,
    Fraktur,
    BoldFraktur,
    DoubleStruck,
    SansSerif,
    SansSerifBold,
    SansSerifItalic,
    SansSerifBoldItalic,
    Monospace,
};
// The alphabet a mathvariant value names; Normal for none.
MathAlphabet AlphabetNamed(std::string_view mathvariant);
// `text` with its ASCII letters and digits in `alphabet` (𝐱, ℝ, 𝔤 ...) where Unicode has them;
// other characters as they are.
std::string InAlphabet(std::string_view text, MathAlphabet alphabet);

}  // namespace quirebook
