#include "word/docx/WordUnits.h"

#include <cmath>
#include <cstdlib>

namespace quirebook {

std::string WordNumber(double value) {
    const long long hundredths = std::llround(value * 100);
    const long long whole = std::llabs(hundredths) / 100;
    const long long fraction = std::llabs(hundredths) % 100;
    std::string text = hundredths < 0 ? "-" : "";
    if (whole != 0 || fraction == 0) text += std::to_string(whole);
    text += '.';
    if (fraction == 0) return text + '0';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    return text;
}

std::string TwipsText(long twips) {
    if (twips == 0) return "0in";
    if (twips % 72 == 0) return WordNumber(twips / 1440.0) + "in";
    return WordNumber(twips / 20.0) + "pt";
}

std::string TwipsAsPointsText(long twips) {
    return twips == 0 ? "0in" : WordNumber(twips / 20.0) + "pt";
}

std::string HalfPointsText(long halfPoints) {
    return WordNumber(halfPoints / 2.0) + "pt";
}

long TwipsToPixels(long twips) {
    return twips <= 0 ? 0 : std::lround(twips / 15.0);
}

long EmuToPixels(long long emu) {
    return emu <= 0 ? 0 : static_cast<long>(std::llround(emu / 9525.0));
}

}  // namespace quirebook
