// Lengths written as Word writes them in a web page: points and inches with one or two decimals
// and no leading zero ("12.0pt", ".25in", "-.3in"), zero as "0in", and pixels for pictures.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quirebook {

// `value` rounded to two decimals, with at least one: 12 -> "12.0", 0.5 -> ".5", -0.25 -> "-.25".
std::string WordNumber(double value);

// A length in twentieths of a point: "0in" for zero, inches when it is a multiple of a
// twentieth of an inch (1440 -> "1.0in"), points otherwise (110 -> "5.5pt").
std::string TwipsText(long twips);

// A length in twentieths of a point, in points: "0in" for zero, 80 -> "4.0pt".
std::string TwipsAsPointsText(long twips);

// A font size in half points: 21 -> "10.5pt".
std::string HalfPointsText(long halfPoints);

// Whole screen pixels (96 to the inch) of a length in twentieths of a point or in English
// Metric Units (914400 to the inch), rounded, never negative.
long TwipsToPixels(long twips);
long EmuToPixels(long long emu);

// The value of `property` in a VML style attribute ("position:absolute;width:120pt"); empty
// when the style does not set it.
std::string_view VmlStyleValue(std::string_view style, std::string_view property);

// A VML length ("120pt", "1.5in", "2cm", "-9mm"; a bare number counts as pixels) in points;
// nothing when it is no length or beyond a million.
std::optional<double> VmlLengthPoints(std::string_view length);

}  // namespace quirebook
