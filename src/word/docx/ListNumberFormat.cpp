#include "word/docx/ListNumberFormat.h"

#include <cctype>

namespace quirebook {

namespace {

std::string Roman(long value) {
    struct Numeral {
        long Value;
        const char* Text;
    };
    static constexpr Numeral kNumerals[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"},
    };
    std::string text;
    for (const Numeral& numeral : kNumerals) {
        for (; value >= numeral.Value; value -= numeral.Value) text += numeral.Text;
    }
    return text;
}

// Word's letters: a to z, then aa to zz, then aaa ...: the letter repeated.
std::string Letters(long value) {
    const long repeat = (value - 1) / 26 + 1;
    return std::string(static_cast<std::size_t>(repeat), static_cast<char>('a' + (value - 1) % 26));
}

std::string Uppercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Ordinal(long value) {
    const long lastTwo = value % 100;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        if (value % 10 == 1)
            suffix = "st";
        else if (value % 10 == 2)
            suffix = "nd";
        else if (value % 10 == 3)
            suffix = "rd";
    }
    return std::to_string(value) + suffix;
}

}  // namespace

std::string FormatListNumber(long value, std::string_view format) {
    if (format == "none" || format == "bullet") return {};
    if (format == "decimalZero")
        return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value);
    if (value >= 1 && value <= 3999) {
        if (format == "lowerRoman") return Roman(value);
        if (format == "upperRoman") return Uppercase(Roman(value));
    }
    // Past 780 the letters would be long enough to be a denial of service, not a label.
    if (value >= 1 && value <= 780) {
        if (format == "lowerLetter") return Letters(value);
        if (format == "upperLetter") return Uppercase(Letters(value));
    }
    if (format == "ordinal" && value >= 0) return Ordinal(value);
    return std::to_string(value);
}

}  // namespace quirebook
