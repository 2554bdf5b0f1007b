// XHTML conversion of a chapter: quoting attribute values, closing void elements, the XML
// header, the character set and the span clean-ups, and the conversion sequence over a book.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// Every unquoted attribute value put in double quotes; an unquoted value ends at the first
// space, "/" or ">".
std::string QuoteAttributeValues(std::string_view text);

}  // namespace quirebook
