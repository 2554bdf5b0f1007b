// Unit conversions of style text: point sizes to pixels, and pixel font sizes to relative sizes
// (em values or size keywords) against a base size.
#pragma once

#include <string>
#include <string_view>

#include "book/BookProject.h"

namespace quirebook {

// Every "<number>pt" (any case, the number made of digits and at most one ".") rewritten as
// pixels: number × 4 / 3, rounded to the nearest integer with halves to even, followed by "px".
// Runs of digits and dots that are not one decimal number ("1.2.3pt", ".pt") are left as they
// are.
std::string ConvertPointsToPixels(std::string_view style);

// Pixel sizes of the font declarations made relative to the base size options.BaseFontSize.
// With a base of 0 the base is first read from the "font-size" of the first "p" rule and stored
// in options.BaseFontSize; 16 when that is missing or not a whole pixel size from 1 to 255.
// Each "font" of the text is followed to the first "px" before its declaration's ";" or its
// rule's "}"; the number just before that "px" (digits with at most one ".") becomes an em value
// with one significant digit, rounded half away from zero and written as a plain decimal (never
// in exponent form), or with options.SevenLevelFontSize one of the seven size keywords. A size
// of 0, or one that is not a number, is left as it is.
std::string ScaleFontSizes(std::string_view style, OptionFlags& options);

}  // namespace quirebook
