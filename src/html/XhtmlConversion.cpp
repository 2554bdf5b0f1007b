#include "html/XhtmlConversion.h"

namespace quirebook {

std::string QuoteAttributeValues(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + text.size() / 16);
    bool inTag = false;
    char quote = 0;  // the character that opened the current quoted value
    bool inUnquotedValue = false;
    char previous = 0;
    for (const char c : text) {
        if (c == '<') {
            inTag = true;
            quote = 0;
            inUnquotedValue = false;  // a value left open by a stray quote ends with its tag
        }
        if (inTag) {
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                // A quote directly after "=" opens a quoted value; so does one elsewhere.
                quote = c;
            } else {
                if (previous == '=') {
                    quoted += '"';
                    inUnquotedValue = true;
                }
                if (inUnquotedValue && (c == ' ' || c == '/' || c == '>')) {
                    quoted += '"';
                    inUnquotedValue = false;
                }
            }
        }
        quoted += c;
        if (c == '>') {
            inTag = false;
            quote = 0;
        }
        previous = c;
    }
    return quoted;
}

}  // namespace quirebook
