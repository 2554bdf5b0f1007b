#include "word/SymbolFontCharacters.h"

#include <array>

namespace quirebook {

namespace {

// The Symbol font from code 0x20 to 0xFF, by the Adobe Symbol encoding (0xA0 is the euro sign
// Windows added; 0xF0 is no character).
constexpr std::array<std::string_view, 224> kSymbol = {
    " ", "!", "∀", "#", "∃", "%", "&", "∋", "(", ")", "∗", "+", ",", "−", ".", "/",  // 0x20
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ":", ";", "<", "=", ">", "?",  // 0x30
    "≅", "Α", "Β", "Χ", "Δ", "Ε", "Φ", "Γ", "Η", "Ι", "ϑ", "Κ", "Λ", "Μ", "Ν", "Ο",  // 0x40
    "Π", "Θ", "Ρ", "Σ", "Τ", "Υ", "ς", "Ω", "Ξ", "Ψ", "Ζ", "[", "∴", "]", "⊥", "_",  // 0x50
    "‾", "α", "β", "χ", "δ", "ε", "φ", "γ", "η", "ι", "ϕ", "κ", "λ", "μ", "ν", "ο",  // 0x60
    "π", "θ", "ρ", "σ", "τ", "υ", "ϖ", "ω", "ξ", "ψ", "ζ", "{", "|", "}", "∼", "",   // 0x70
    "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",   // 0x80
    "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",  "",   // 0x90
    "€", "ϒ", "′", "≤", "⁄", "∞", "ƒ", "♣", "♦", "♥", "♠", "↔", "←", "↑", "→", "↓",  // 0xA0
    "°", "±", "″", "≥", "×", "∝", "∂", "•", "÷", "≠", "≡", "≈", "…", "⏐", "⎯", "↵",  // 0xB0
    "ℵ", "ℑ", "ℜ", "℘", "⊗", "⊕", "∅", "∩", "∪", "⊃", "⊇", "⊄", "⊂", "⊆", "∈", "∉",  // 0xC0
    "∠", "∇", "®", "©", "™", "∏", "√", "⋅", "¬", "∧", "∨", "⇔", "⇐", "⇑", "⇒", "⇓",  // 0xD0
    "◊", "⟨", "®", "©", "™", "∑", "⎛", "⎜", "⎝", "⎡", "⎢", "⎣", "⎧", "⎨", "⎩", "⎪",  // 0xE0
    "",  "⟩", "∫", "⌠", "⎮", "⌡", "⎞", "⎟", "⎠", "⎤", "⎥", "⎦", "⎫", "⎬", "⎭", "",   // 0xF0
};

struct CodeCharacter {
    unsigned Code;
    std::string_view Character;
};

// The Wingdings characters Word's bullet library and documents use.
constexpr CodeCharacter kWingdings[] = {
    {0x20, " "}, {0x45, "☜"}, {0x46, "☞"}, {0x4A, "☺"}, {0x4C, "☹"}, {0x6C, "●"}, {0x6D, "❍"},
    {0x6E, "■"}, {0x6F, "□"}, {0x70, "◻"}, {0x71, "❑"}, {0x72, "❒"}, {0x73, "⬧"}, {0x74, "⧫"},
    {0x75, "◆"}, {0x76, "❖"}, {0x77, "⬥"}, {0x9F, "•"}, {0xA0, "▪"}, {0xA1, "○"}, {0xA4, "◉"},
    {0xA5, "◎"}, {0xA7, "▪"}, {0xA8, "◻"}, {0xAA, "✦"}, {0xAB, "★"}, {0xB2, "◊"}, {0xD8, "➢"},
    {0xE0, "➔"}, {0xEF, "⇦"}, {0xF0, "⇨"}, {0xF1, "⇧"}, {0xF2, "⇩"}, {0xFB, "✗"}, {0xFC, "✓"},
    {0xFD, "☒"}, {0xFE, "☑"},
};

}  // namespace

std::string_view SymbolFontCharacter(SymbolFont font, unsigned code) {
    if (font == SymbolFont::Symbol)
        return code >= 0x20 && code <= 0xFF ? kSymbol[code - 0x20] : std::string_view();
    for (const CodeCharacter& known : kWingdings)
        if (known.Code == code) return known.Character;
    return {};
}

}  // namespace quirebook
