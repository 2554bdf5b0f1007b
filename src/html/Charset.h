// A page's character set: the declared one, the one its bytes are really in, and conversion of
// the page to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The value after the first "charset=" up to the next double quote; "utf-8" when the page has
// no "charset=". For the short form <meta charset="x"> it gives x.
std::string DetectCharset(std::string_view text);

// The page with the first charset value replaced by `name` (both the long and the short form);
// unchanged when it has no "charset=".
std::string SetCharset(std::string_view text, std::string_view name);

// The page's own claim about its encoding, lower-cased: the XML declaration's encoding, else the
// first charset of a meta element (either form, any case, quoted or not); empty when it makes
// none.
std::string DeclaredCharset(std::string_view text);

// The charset the page's bytes are in, as an iconv name, decided in this order: a byte-order
// mark; bytes that are valid UTF-8 and hold non-ASCII text are UTF-8 whatever the label says;
// the declared charset (gb2312 read as GB18030, iso-8859-1 and ascii as windows-1252); windows-
// 1252 for bytes that are not valid UTF-8. Empty for plain ASCII with no label.
std::string SourceCharset(std::string_view text);

// True for the empty name (nothing to convert) and for any charset iconv can convert from.
bool IsReadableCharset(const std::string& charset);

// The page in UTF-8 (a byte-order mark dropped); unchanged when it already is. A label iconv
// does not know is treated as windows-1252 when the bytes are not UTF-8.
std::string PageToUtf8(std::string_view text);

}  // namespace quirebook
