#include "text/TextDirection.h"

namespace quirebook {

namespace {

struct Range {
    char32_t First, Last;
};

// Digits of Arabic script are numbers, not letters: they read as the text around them.
constexpr Range kRightToLeftDigits[] = {{0x0660, 0x0669}, {0x06F0, 0x06F9}};

constexpr Range kRightToLeft[] = {
    {0x0590, 0x08FF},  // Hebrew, Arabic, Syriac, Thaana, NKo, Samaritan, Mandaic
    {0x200F, 0x200F},  // the right-to-left mark
    {0xFB1D, 0xFDFF},  // Hebrew and Arabic presentation forms
    {0xFE70, 0xFEFE},  // Arabic presentation forms B
    {0x10800, 0x10FFF}, {0x1E800, 0x1EFFF},
};

constexpr Range kLeftToRight[] = {
    {'A', 'Z'},       {'a', 'z'},       {0x00AA, 0x00AA},   {0x00B5, 0x00B5},   {0x00BA, 0x00BA},
    {0x00C0, 0x00D6}, {0x00D8, 0x00F6}, {0x00F8, 0x02B8},   {0x0370, 0x0373},   {0x0376, 0x037D},
    {0x037F, 0x0383}, {0x0386, 0x0386}, {0x0388, 0x0482},   {0x048A, 0x058F},   {0x0900, 0x1FFF},
    {0x200E, 0x200E}, {0x2C00, 0x2DFF}, {0x3040, 0x9FFF},   {0xA000, 0xD7FF},   {0xF900, 0xFB06},
    {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, {0x10000, 0x107FF}, {0x11000, 0x1D7FF},
};

template <std::size_t N>
bool InAny(char32_t code, const Range (&ranges)[N]) {
    for (const Range& range : ranges)
        if (code >= range.First && code <= range.Last) return true;
    return false;
}

// The code point starting at `at`, and where the next one starts; 0 for a byte that starts
// no UTF-8 sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = static_cast<unsigned char>(text[at++]);
    if (byte < 0x80) return byte;
    const int length = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
    if (length < 0) return 0;
    char32_t code = byte & (0x3F >> length);
    for (int i = 0; i < length; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    return code;
}

}  // namespace

StrongDirection StrongDirectionOf(std::string_view text) {
    bool left = false, right = false;
    for (std::size_t at = 0; at < text.size() && !(left && right);) {
        const char32_t code = NextCodePoint(text, at);
        if (InAny(code, kRightToLeft))
            right = right || !InAny(code, kRightToLeftDigits);
        else if (InAny(code, kLeftToRight))
            left = true;
    }
    if (left && right) return StrongDirection::Both;
    if (left) return StrongDirection::LeftToRight;
    return right ? StrongDirection::RightToLeft : StrongDirection::None;
}

}  // namespace quirebook
