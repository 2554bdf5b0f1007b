// The pattern passes every content step is written with: replace or delete every match of a
// pattern, on the shared engine (caseless, "." matching line breaks, no empty matches).
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// `subject` with every match of `pattern` replaced by `replacement`.
std::string ReplacePattern(std::string subject, std::string_view pattern,
                           std::string_view replacement);
// `text` becomes ReplacePattern of its old value.
void ReplacePatternInPlace(std::string& text, std::string_view pattern,
                           std::string_view replacement);
// Every match of `pattern` removed from `text`.
void DeletePattern(std::string& text, std::string_view pattern);

}  // namespace quirebook
