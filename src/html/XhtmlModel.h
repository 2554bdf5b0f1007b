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
    bool Html5 = false;  // an HTML5 element, kept only in HTML5 chapters
};

inline constexpr std::string_view kCommonAttributes = " id class title style xml:lang dir ";

// The rule of an XHTML 1.1 element or of an HTML5 element books keep (Html5 set), or nullptr
// for an element outside both (or left out of books).
const ElementRule* RuleOf(std::string_view name);

// An XHTML 1.1 element HTML5 no longer has, and what stands for it in an HTML5 chapter: an
// element (its old name kept as a class) and the style that keeps its look.
struct ObsoleteElement {
    std::string_view Name;
    std::string_view StandIn;
    std::string_view Style;
};
// The stand-in of `name`, or nullptr when HTML5 has the element.
const ObsoleteElement* Html5StandIn(std::string_view name);
// True when HTML5 no longer lets `element` carry `attribute`, which XHTML 1.1 allows.
bool IsObsoleteInHtml5(std::string_view element, std::string_view attribute);
// A value HTML5 takes for the datetime attribute: a date, or a date with a time and an optional
// zone; with `partial` (the time element) also a year, a month or a time of day.
bool IsHtml5DateTime(std::string_view value, bool partial);

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
