// The XHTML 1.1 document type as the conformance stage holds chapters to it: which elements
// there are, where they stand, what they hold and carry, and which values their attributes take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quirebook::xhtml {

inline constexpr std::size_t npos = std::string_view::npos;

bool IsSpace(char c);
bool IsBlankText(std::string_view text);
bool IsLetter(char c);
bool IsDigit(char c);
std::string Lower(std::string_view text);
// True when `list` (names between spaces, with a space at both ends) holds `name`.
bool ListHolds(std::string_view list, std::string_view name);

// Where an element may stand.
enum class Kind {
    Block,
    Inline,
    Either,  // ins, del: in block and inline content alike
    Part,    // only inside its own parent (li in ul, td in tr ...)
};

// What an element may hold.
enum class Model {
    Empty,
    Text,
    Inline,
    Flow,
    Block,
    ListItems,
    Terms,
    Table,
    Rows,
    Cells,
    Columns
};

struct ElementRule {
    std::string_view Name;
    Kind Where;
    Model Holds;
    bool Common;  // takes the common attributes: id class title style xml:lang dir
    std::string_view Attributes = " ";
};

inline constexpr std::string_view kCommonAttributes = " id class title style xml:lang dir ";

// The rule of an XHTML 1.1 element, or nullptr for an element outside it (or left out of books).
const ElementRule* RuleOf(std::string_view name);

// Elements outside XHTML 1.1 that stand for a block; every other unknown element becomes a span
// (that turns into a div when it holds blocks).
inline constexpr std::string_view kBlockElements =
    " section article nav header footer aside main figure figcaption hgroup details summary "
    "dialog center search marquee multicol form fieldset legend ";
inline constexpr std::string_view kListElements = " menu dir ";
inline constexpr std::string_view kPreElements = " listing xmp plaintext ";
// Elements left out with everything in them: scripts and what only stands in for them, frames,
// embedded media sources, empty controls.
inline constexpr std::string_view kDroppedElements =
    " script noscript template iframe noembed noframes frame frameset embed source track wbr "
    "keygen basefont bgsound isindex base input ";
inline constexpr std::string_view kHeadElements = " title meta link style ";

// A length: digits with an optional "%" (or "*" for column widths).
bool IsLength(std::string_view value);
// A language tag such as "en", "pt-BR" or "zh-Hant-TW".
bool IsLanguageTag(std::string_view value);
// The value an attribute may carry, normalised, or false when no such value is allowed.
bool MendAttributeValue(std::string_view name, std::string& value);

}  // namespace quirebook::xhtml
