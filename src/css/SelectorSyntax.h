// Whether the selector list before a style rule's block is one that readers and epubcheck can
// read: the grammar of Selectors Level 3, judged on CSS tokens.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "css/CssTokens.h"

namespace quirebook {

// What is wrong with the selector list of `tokens` [first, last) of `css`, as a short phrase
// ("\".1\" cannot stand here"); empty when the list is valid. Understood: type selectors and
// "*" with or without a namespace prefix, #id (a name that could be an identifier), .class,
// attribute tests with =, ~=, |=, ^=, $= and *= and an identifier or string value, pseudo-classes
// and pseudo-elements with ":" or "::", their functions with arguments of identifiers, strings,
// numbers, "+" and "-" (as :nth-child(2n+1) and :lang(fr)), :not() of one simple selector, and the
// combinators blank, ">", "+" and "~". Comments count as nothing, as CSS reads them.
std::string SelectorListFault(std::string_view css, const std::vector<CssToken>& tokens,
                              std::size_t first, std::size_t last);

// Whether [first, last) of `tokens` is a list of keyframe selectors: "from", "to" and
// percentages, separated by commas.
bool IsKeyframeSelectorList(std::string_view css, const std::vector<CssToken>& tokens,
                            std::size_t first, std::size_t last);

}  // namespace quirebook
