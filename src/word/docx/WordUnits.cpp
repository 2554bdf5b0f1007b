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

std::string_view VmlStyleValue(std::string_view style, std::string_view property) {
    for (std::size_t at = style.find(property); at != std::string_view::npos;
         at = style.find(property, at + 1)) {
        const bool starts = at == 0 || style[at - 1] == ';' || style[at - 1] == ' ';
        const std::size_t colon = at + property.size();
        if (!starts || colon >= style.size() || style[colon] != ':') continue;
        const std::string_view value = style.substr(colon + 1);
        return value.substr(0, value.find(';'));
    }
    return {};
}

std::optional<double> VmlLengthPoints(std::string_view length) {
    const std::string text(length);
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !(number > -1e6 && number < 1e6)) return std::nullopt;
    const std::string_view unit(end);
    if (unit == "pt") return number;
    if (unit == "in") return number * 72;
    if (unit == "cm") return number * 72 / 2.54;
    if (unit == "mm") return number * 72 / 25.4;
    return number * 0.75;  // pixels
}

}  // namespace quirebook
