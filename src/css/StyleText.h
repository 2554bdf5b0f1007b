// Style and markup text helpers: the page's style block and body, markup case folding, and the
// plain CSS lookups of rule bodies and property values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quirebook {

// Where a page's Word style block stands: the first <style> element whose text holds
// "Definitions" (Word writes "/* Font Definitions */" and "/* Style Definitions */" there).
// Positions are 1-based; Found is false when no such block exists.
struct StyleBlockPlace {
    bool Found = false;
    std::size_t StyleStart = 0;     // the "<" of "<style"
    std::size_t ContentStart = 0;   // the byte after the start tag's ">"
    std::size_t ContentLength = 0;  // up to "</style>", less the line end before it
    std::size_t CloseStart = 0;     // the "<" of "</style>"
};
StyleBlockPlace FindStyleBlock(std::string_view page);

// The text of the page's Word style block (see FindStyleBlock); empty when there is none.
std::string ExtractStyleBlock(std::string_view page);

// The text between the ">" that ends the first "<body" and the next "</body>" (or "</html>", or
// the end of the text, for a page that never closes its body); empty without "<body".
std::string ExtractBodyText(std::string_view page);

// The page with the letters of its markup (tag and attribute names, unquoted values) folded to
// lower case, or to upper case when `toLower` is false. Text content and quoted values keep
// their case; a ">" always ends markup, also inside quotes.
std::string ChangeMarkupCase(bool toLower, std::string_view page);

// The text between the "{" and "}" that follow the first occurrence of `selector` anywhere in
// `css` (a bare substring search); empty when it is absent.
std::string GetRuleBody(std::string_view selector, std::string_view css);

// The text of `rule` from just after the first occurrence of `property` up to and including the
// next ";" (to the end of the rule when there is none); empty when `property` is absent.
std::string GetPropertyText(std::string_view rule, std::string_view property);

// The value of `property` in `rule`: what follows the ":" of its text, trimmed, without the
// single quotes around it.
std::string GetPropertyValue(std::string_view rule, std::string_view property);

// Style text without the HTML comment markers old pages wrap it in ("<!--", "-->", and a "//"
// left before "-->" for scripts): style sheet readers of books reject them.
std::string WithoutCommentMarkers(std::string_view css);

// Class selectors that begin with a digit (".1", which Word writes for styles named in other
// alphabets) escaped as CSS requires (".\31 "), so that they stay valid and still match
// class="1". Only selectors are touched, not values such as ".5pt".
std::string EscapeNumericClassSelectors(std::string_view css);

// Style text without declarations the removals left broken: a bare name with no ":" value
// ("{ mso-fareast-}") and empty declarations (";;").
std::string DropBrokenDeclarations(std::string_view css);

}  // namespace quirebook
