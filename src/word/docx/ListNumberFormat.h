// List numbers written in Word's number formats: decimal, with a leading zero, Roman, letters,
// ordinals.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// `value` in the w:numFmt format `format` ("decimal", "lowerRoman", "upperLetter" ...).
// Formats this program does not know, and values a format cannot show (Roman numbers past
// 3999, letters for zero), are written in decimal; "none" and "bullet" give nothing.
std::string FormatListNumber(long value, std::string_view format);

}  // namespace quirebook
