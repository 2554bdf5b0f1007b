#include "word/docx/SymbolGlyphs.h"

namespace quirebook {

namespace {

unsigned long GlyphToLatin1(unsigned long codePoint) {
    return codePoint >= 0xF020 && codePoint <= 0xF0FF ? codePoint - 0xF000 : codePoint;
}

}  // namespace

std::string CodePointText(unsigned long codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
    std::string text;
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return text;
}

std::string SymbolGlyphText(std::string_view text) {
    std::string mapped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Glyph codes are the three-byte sequences EF 80 A0 to EF 83 BF.
        if (i + 2 < text.size() && text[i] == '\xEF' && (text[i + 1] & 0xFC) == 0x80 &&
            (text[i + 2] & 0xC0) == 0x80) {
            const unsigned long codePoint =
                0xF000 | ((text[i + 1] & 0x3) << 6) | (text[i + 2] & 0x3F);
            if (codePoint >= 0xF020) {
                mapped += CodePointText(GlyphToLatin1(codePoint));
                i += 2;
                continue;
            }
        }
        mapped += text[i];
    }
    return mapped;
}

std::string SymbolCharacter(std::string_view hexCode) {
    unsigned long codePoint = 0;
    if (hexCode.empty() || hexCode.size() > 6) return {};
    for (const char c : hexCode) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        if (digit < 0) return {};
        codePoint = codePoint * 16 + static_cast<unsigned long>(digit);
    }
    if (codePoint < 0x20) return {};
    return CodePointText(GlyphToLatin1(codePoint));
}

}  // namespace quirebook
