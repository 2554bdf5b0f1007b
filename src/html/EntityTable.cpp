#include "html/XhtmlConversion.h"
#include "text/Entities.h"
#include "text/Regex.h"

namespace quirebook {

std::string NamedEntitiesFromNumeric(std::string_view text) {
    Regex references(preCaseLess | preSingleLine);
    references.SetPattern("\\&\\#1\\d\\d\\;");
    references.SetSubject(std::string(text));
    std::string result;
    std::size_t copiedUpTo = 0;  // 0-based
    while (references.MatchNext()) {
        const int code = std::stoi(references.MatchedText().substr(2, 3));
        if (code < 128) continue;
        const std::size_t start = references.MatchStart() - 1;
        result.append(text, copiedUpTo, start - copiedUpTo);
        result += EntityTable(code);
        copiedUpTo = references.MatchEnd() - 1;
    }
    if (copiedUpTo == 0) return std::string(text);
    result.append(text, copiedUpTo);
    return result;
}

}  // namespace quirebook
