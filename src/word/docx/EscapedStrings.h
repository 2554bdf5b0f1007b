// Office's escaped strings (ST_Xstring): document properties write a character XML cannot hold
// as "_xHHHH_" ("_x000d_" a carriage return) and an underscore that would start such an escape as
// "_x005f_".
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The text an escaped string stands for, as Word shows it: every escape read as its character (a
// surrogate pair as the one character it makes), line ends of any kind as line feeds, and the
// control characters a book's XML cannot hold left out.
std::string UnescapedString(std::string_view text);

// The text on one line, for a field that holds one: each line break, with the blanks around it,
// becomes one space; blanks at either end go.
std::string OnOneLine(std::string_view text);

}  // namespace quirebook
