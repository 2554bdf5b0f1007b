#include "text/PatternHelpers.h"

#include <utility>

#include "text/Regex.h"

namespace quirebook {

std::string ReplacePattern(std::string subject, std::string_view pattern,
                           std::string_view replacement) {
    ReplacePatternInPlace(subject, pattern, replacement);
    return subject;
}

void ReplacePatternInPlace(std::string& text, std::string_view pattern,
                           std::string_view replacement) {
    Regex& regex = SharedRegex();
    regex.SetPattern(pattern);
    regex.ReplaceInPlace(text, replacement);
}

void DeletePattern(std::string& text, std::string_view pattern) {
    ReplacePatternInPlace(text, pattern, {});
}

}  // namespace quirebook
