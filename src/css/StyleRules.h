// A style sheet read as its rules: each rule's selectors, its declarations and the conditional
// at-rules around it, with their byte ranges, so that a step can judge a rule or rewrite one
// declaration and keep the rest of the sheet byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

struct StyleDeclaration {
    std::string Property;  // lower case
    std::string Value;     // trimmed, without "!important"
    bool Important = false;
    // The declaration's bytes: from its name up to and including its ";" (or up to the rule's
    // "}" for the last declaration without one).
    std::size_t Begin = 0;
    std::size_t End = 0;
    // The value's bytes as written: from the first byte after the ":" and the blanks that follow
    // it, up to the blanks before "!important" or the declaration's end; comments inside stay.
    std::size_t ValueBegin = 0;
    std::size_t ValueEnd = 0;
};

struct StyleRule {
    std::string Selectors;  // the text before "{", trimmed, comments removed
    // The @media and @supports blocks that hold the rule, outermost first, each as its keyword
    // and its prelude ("@media print", "@media (max-width: 1023px)"); empty at the top level.
    std::vector<std::string> Conditions;
    std::vector<StyleDeclaration> Declarations;
    std::size_t Begin = 0;  // the first byte of its selectors
    std::size_t End = 0;    // past its "}"
};

// The style rules of `css` in the order they are written, those inside @media and @supports
// blocks included. Comments and strings are read as CSS reads them; the rules of other at-rules
// (@font-face, @page, @keyframes ...) and statements (@import, @charset) are not style rules and
// are skipped. A sheet cut short ends its last rule where it ends.
std::vector<StyleRule> ReadStyleRules(std::string_view css);

// The selectors of a rule's text, split at the commas that stand outside brackets, parentheses
// and strings, each trimmed.
std::vector<std::string> SplitSelectorList(std::string_view selectors);

// Whether a rule under `conditions` applies on a reader's screen whatever its size: no
// condition, or only media types that hold screens ("screen", "all", "only screen") without a
// feature test.
bool AppliesOnEveryScreen(const std::vector<std::string>& conditions);

}  // namespace quirebook
