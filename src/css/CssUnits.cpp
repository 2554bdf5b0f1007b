#include "css/CssUnits.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "css/StyleText.h"
#include "text/Regex.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr int kDefaultBaseFontSize = 16;
constexpr int kLargestBaseFontSize = 255;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number as written with digits and at most one ".": its digits without the point, and
// how many of them stood after it.
struct DecimalDigits {
    std::string Digits;
    std::size_t FractionDigits = 0;
};

// `number` read as a decimal number; nothing when it holds no digit or more than one ".".
std::optional<DecimalDigits> ReadDecimal(std::string_view number) {
    const std::size_t point = number.find('.');
    if (point != npos && number.find('.', point + 1) != npos) return std::nullopt;
    DecimalDigits decimal;
    for (char c : number)
        if (c != '.') decimal.Digits += c;
    if (decimal.Digits.empty()) return std::nullopt;
    decimal.FractionDigits = point == npos ? 0 : number.size() - point - 1;
    return decimal;
}

// Decimal digits with their leading zeros removed; "0" for none left.
std::string WithoutLeadingZeros(std::string digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string("0") : digits.substr(first);
}

// Adds one to a string of decimal digits.
void IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The pixel digits of a point size: points × 4 / 3 rounded to the nearest integer, halves to
// even. Worked out in decimal digits, so that any length of number is exact: the digits are
// multiplied by 4, divided by 3 by long division, and the fraction decides the rounding.
std::string PointsToPixelDigits(const DecimalDigits& points) {
    const std::string& digits = points.Digits;
    std::string times4(digits.size() + 1, '0');
    unsigned carry = 0;
    for (std::size_t i = digits.size(); i-- > 0;) {
        const unsigned product = static_cast<unsigned>(digits[i] - '0') * 4 + carry;
        times4[i + 1] = static_cast<char>('0' + product % 10);
        carry = product / 10;
    }
    times4[0] = static_cast<char>('0' + carry);

    std::string quotient;
    quotient.reserve(times4.size());
    unsigned remainder = 0;
    for (char c : times4) {
        const unsigned current = remainder * 10 + static_cast<unsigned>(c - '0');
        quotient += static_cast<char>('0' + current / 3);
        remainder = current % 3;
    }

    // The exact value is quotient / 10^f + remainder / (3 × 10^f), f the fraction digits: its
    // fraction is the last f digits of the quotient followed by an endless run of 0, 3 or 6. The
    // quotient has one digit more than the number, so its integer part is never empty.
    const std::size_t fractionDigits = points.FractionDigits;
    const std::string_view fraction =
        std::string_view(quotient).substr(quotient.size() - fractionDigits);
    std::string integer = quotient.substr(0, quotient.size() - fractionDigits);
    bool roundUp = false;
    if (fraction.empty()) {
        roundUp = remainder == 2;  // 2/3 is above a half, 1/3 below
    } else if (fraction[0] != '5') {
        roundUp = fraction[0] > '5';
    } else {
        const bool exactHalf = remainder == 0 && fraction.find_first_not_of('0', 1) == npos;
        roundUp = !exactHalf || (integer.back() - '0') % 2 == 1;
    }
    if (roundUp) IncrementDigits(integer);
    return WithoutLeadingZeros(std::move(integer));
}

// The base size read from the first "p" rule: a whole pixel size from 1 to 255 written with
// "px;", as the point conversion leaves it. Anything else (a keyword, a percentage, a last
// declaration without ";", 0) cannot serve as a base, so the common default is used.
int DetectBaseFontSize(std::string_view style) {
    const std::string value = GetPropertyValue(GetRuleBody("p", style), "font-size");
    if (value.size() <= 3 || !value.ends_with("px;")) return kDefaultBaseFontSize;
    const std::string_view digits = std::string_view(value).substr(0, value.size() - 3);
    int size = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return kDefaultBaseFontSize;
        size = size * 10 + (c - '0');
        if (size > kLargestBaseFontSize) return kDefaultBaseFontSize;
    }
    return size == 0 ? kDefaultBaseFontSize : size;
}

// `pixels` / `base` with three significant digits, rounded half away from zero, in plain decimal
// notation without trailing zeros: "0.875", "1.25", "10.6", "0.0625", "100". Three digits keep
// neighbouring sizes apart as the document sets them (1.17em and 1.33em stay two sizes). The
// quotient is expanded digit by digit by long division, so it is exact for any length of number.
// `pixels` must not be 0.
std::string SignificantQuotient(const DecimalDigits& pixels, std::uint64_t base) {
    constexpr std::size_t kSignificant = 3;
    std::string expansion;  // the quotient's digits down to the units of `Digits`, then further
    std::uint64_t remainder = 0;
    for (char c : pixels.Digits) {
        const std::uint64_t current = remainder * 10 + static_cast<std::uint64_t>(c - '0');
        expansion += static_cast<char>('0' + current / base);
        remainder = current % base;
    }
    const auto nextDigit = [&] {
        const std::uint64_t current = remainder * 10;
        expansion += static_cast<char>('0' + current / base);
        remainder = current % base;
    };
    std::size_t first = expansion.find_first_not_of('0');
    while (first == std::string::npos) {
        nextDigit();
        first = expansion.find_first_not_of('0');
    }
    while (expansion.size() < first + kSignificant + 1) nextDigit();

    std::string digits = expansion.substr(first, kSignificant);
    // The power of ten of the first significant digit: 0 for units, -1 for tenths.
    long place = static_cast<long>(pixels.Digits.size()) - 1 - static_cast<long>(first) -
                 static_cast<long>(pixels.FractionDigits);
    if (expansion[first + kSignificant] >= '5') {
        IncrementDigits(digits);
        if (digits.size() > kSignificant) {  // 999 rounded up to 1000
            digits.pop_back();
            ++place;
        }
    }
    const long significant = static_cast<long>(kSignificant);
    if (place >= significant - 1)
        return digits + std::string(static_cast<std::size_t>(place - significant + 1), '0');
    std::string integer = place >= 0 ? digits.substr(0, static_cast<std::size_t>(place + 1)) : "0";
    std::string fraction = place >= 0
                               ? digits.substr(static_cast<std::size_t>(place + 1))
                               : std::string(static_cast<std::size_t>(-place - 1), '0') + digits;
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return fraction.empty() ? integer : integer + "." + fraction;
}

// The size keyword for `pixels` against `base`, by the ratio thresholds 0.6, 0.8, 1 (included),
// 1.5, 2.2 and 3. Every threshold is a whole number of tenths of a pixel times the base, so the
// size is compared as whole tenths (and whether anything follows them): exactly, with no
// threshold blurred by floating-point rounding.
std::string_view SizeKeyword(const DecimalDigits& pixels, std::uint64_t base) {
    // Whole pixels are counted up to a cap far beyond three times any base an int can hold.
    constexpr std::uint64_t kCap = 1000000000000000;
    const std::size_t integerDigits = pixels.Digits.size() - pixels.FractionDigits;
    std::uint64_t whole = 0;
    for (std::size_t i = 0; i < integerDigits; ++i)
        whole = std::min<std::uint64_t>(whole * 10 + (pixels.Digits[i] - '0'), kCap);
    const std::uint64_t firstFraction =
        pixels.FractionDigits == 0 ? 0 : pixels.Digits[integerDigits] - '0';
    const std::uint64_t tenths = whole * 10 + firstFraction;
    const bool wholeTenths =
        pixels.FractionDigits <= 1 ||
        pixels.Digits.find_first_not_of('0', integerDigits + 1) == std::string::npos;
    if (tenths < 6 * base) return "xx-small";
    if (tenths < 8 * base) return "x-small";
    if (tenths < 10 * base || (tenths == 10 * base && wholeTenths)) return "small";
    if (tenths < 15 * base) return "medium";
    if (tenths < 22 * base) return "large";
    if (tenths < 30 * base) return "x-large";
    return "xx-large";
}

// The next occurrence of a fixed text at or after a position that only moves forward. A search
// is repeated only once the position has passed the last hit, so following a whole text costs
// one pass however many positions ask.
class NextOccurrence {
  public:
    NextOccurrence(std::string_view text, std::string_view find) : m_text(text), m_find(find) {}
    // 0-based offset of the next occurrence at or after `at`; npos when none.
    std::size_t From(std::size_t at) {
        if (!m_searched || (m_found != npos && m_found < at)) {
            m_found = m_text.find(m_find, at);
            m_searched = true;
        }
        return m_found;
    }

  private:
    std::string_view m_text;
    std::string_view m_find;
    std::size_t m_found = npos;
    bool m_searched = false;
};

}  // namespace

std::string ConvertPointsToPixels(std::string_view style) {
    Regex& regex = SharedRegex();
    regex.SetPattern("[\\d\\.]+pt");
    regex.SetSubject(std::string(style));
    std::string result;
    result.reserve(style.size());
    std::size_t copied = 0;  // 0-based offset of the first byte not yet copied
    while (regex.MatchNext()) {
        const std::size_t start = regex.MatchStart() - 1;
        const std::size_t end = regex.MatchEnd() - 1;
        const std::optional<DecimalDigits> points =
            ReadDecimal(style.substr(start, end - start - 2));
        if (!points) continue;
        result.append(style, copied, start - copied);
        result += PointsToPixelDigits(*points);
        result += "px";
        copied = end;
    }
    regex.SetSubject({});
    result.append(style, copied);
    return result;
}

std::string ScaleFontSizes(std::string_view style, OptionFlags& options) {
    if (options.BaseFontSize <= 0) options.BaseFontSize = DetectBaseFontSize(style);
    const auto base = static_cast<std::uint64_t>(options.BaseFontSize);
    const bool keywords = options.SevenLevelFontSize;

    std::string result;
    result.reserve(style.size());
    std::size_t copied = 0;       // 0-based offset of the first byte not yet copied
    std::size_t examined = npos;  // the last "px" looked at
    NextOccurrence ruleEnd(style, "}");
    NextOccurrence semicolon(style, ";");
    NextOccurrence pixelUnit(style, "px");
    for (std::size_t hit = style.find("font"); hit != npos; hit = style.find("font", hit + 4)) {
        const std::size_t end = std::min(ruleEnd.From(hit), style.size());
        const std::size_t stop = std::min(semicolon.From(hit), end);
        const std::size_t px = pixelUnit.From(hit);
        // Two "font" in one declaration lead to the same "px": it is looked at once.
        if (px == npos || px >= stop || px == examined) continue;
        examined = px;
        // The whole number before "px", its fraction included: "10.5px" is read as 10.5.
        std::size_t number = px;
        while (number > hit && (IsDigit(style[number - 1]) || style[number - 1] == '.')) --number;
        const std::optional<DecimalDigits> pixels = ReadDecimal(style.substr(number, px - number));
        if (!pixels || pixels->Digits.find_first_not_of('0') == npos) continue;
        result.append(style, copied, number - copied);
        if (keywords) {
            result += SizeKeyword(*pixels, base);
        } else {
            result += SignificantQuotient(*pixels, base);
            result += "em";
        }
        copied = px + 2;
    }
    result.append(style, copied);
    return result;
}

}  // namespace quirebook
