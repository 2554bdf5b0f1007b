// Character entities: the entity names of the windows-1252 and Latin-1 codes, and decoding of
// character references to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The entity text the numeric reference of a windows-1252 code (128 to 255) stands for; empty
// for codes with no character and outside that range.
std::string_view EntityTable(int code);

// Appends character `c` to `out` in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The text with character references decoded to UTF-8: numeric ones, the five of XML, and the
// names of EntityTable. Unknown names stay as they are.
std::string DecodeEntities(std::string_view text);

}  // namespace quirebook
