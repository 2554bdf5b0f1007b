// Style text made valid for books: what a CSS parser must drop (a rule whose selector is not
// valid, a declaration that does not parse) left out by the error recovery of CSS Syntax Level 3,
// the few constructs epubcheck's parser cannot read mended, and on request the direction
// properties EPUB 3 forbids taken out; every other byte stays as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

// Something left out or mended, for the build log.
struct StyleRepairNote {
    std::size_t Line = 0;  // 1-based, in the text given
    std::string Text;      // "the rule \"ol.1\" is left out: its selector is not valid CSS (...)"
};

// A direction declaration taken out, with what it applied to.
struct DirectionDeclaration {
    std::string Selectors;  // the rule's selector text, comments gone, blanks single; empty for
                            // a style attribute
    std::string Value;      // lower case: "rtl", "ltr" or another keyword
    bool Important = false;
    // Whether it applies on a reader's screen whatever its size: not under an @media of other
    // media or with a feature test, nor under another at-rule but @supports.
    bool OnEveryScreen = true;
};

struct RepairedStyle {
    std::string Text;
    std::vector<StyleRepairNote> Notes;
    // The direction and unicode-bidi declarations taken out (when asked).
    std::size_t DirectionDeclarations = 0;
    std::vector<DirectionDeclaration> Directions;  // of "direction", in the order written
};

// A style sheet or the text of a <style> element. In a rule list, a rule whose selector list is
// not valid (SelectorListFault) goes with its block, text that never reaches a block goes to the
// end of its list, and an at-rule inside a declaration block goes whole. In a declaration block,
// a declaration goes when its name is no identifier or has no ":" after it, when its value is
// empty, or holds a block in braces, a ";" or "}" inside brackets, an at-keyword, "<!--" or
// "-->", a string broken by or continued over a line end, a broken url() or an empty one; a ";"
// that ends no declaration goes too. A comment that touches a selector's part goes. A sheet that
// ends inside a comment, string or block is closed at its end. With `withoutDirection`, every
// "direction" and "unicode-bidi" declaration goes as well.
RepairedStyle RepairStyleSheet(std::string_view css, bool withoutDirection);

// The value of a style attribute, judged as a declaration block ("; ;" may stand in it).
RepairedStyle RepairStyleAttribute(std::string_view declarations, bool withoutDirection);

}  // namespace quirebook
