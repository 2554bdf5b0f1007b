// Text and attributes written as Word writes them in a web page: text escaped with its
// no-break spaces and space runs kept, attribute values quoted only when they need it.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// Appends document text: "&", "<", ">" and '"' as entities, a no-break space as "&nbsp;", a run
// of spaces as no-break spaces ended by one plain space, line breaks and tabs as spaces, other
// control characters dropped, and any byte sequence that is not UTF-8 as U+FFFD.
void AppendText(std::string& out, std::string_view text);

// Appends `value` escaped for a double-quoted attribute ("&" and '"' as entities), with the
// same repair of control characters and broken UTF-8 as AppendText.
void AppendAttributeValue(std::string& out, std::string_view value);

// Appends ` name=value`: bare when the value is letters, digits and hyphens only
// (class=MsoNormal, lang=EN-US), in double quotes otherwise (name="_Toc1").
void AppendAttribute(std::string& out, std::string_view name, std::string_view value);

}  // namespace quirebook
