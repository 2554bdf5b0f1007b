// Page furniture: the navigation bars, sidebars, search boxes and footers a web site puts on
// every page, found by repetition across a book's chapters, by their place and shape, by landmarks
// and by selectors, and cut out of the chapters' texts.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "html/CssSelectors.h"
#include "html/GumboPage.h"

namespace quirebook {

// A block is repeated furniture when its signature is on at least this many chapters ...
constexpr std::size_t kFurnitureLeastChapters = 3;
// ... and on at least half of them.
constexpr std::size_t kFurnitureChapterShareDivisor = 2;
// The furniture found without being named is at most this share (in percent) of a chapter's
// words; beyond it the largest such blocks stay until the rest is within it.
constexpr std::size_t kFurnitureMostWordsPercent = 40;

struct FurnitureChoice {
    // Repeated blocks and landmarks (nav, role="navigation", role="search") are left out.
    bool Detect = true;
    // Blocks these select are left out too, whatever the guards.
    SelectorList Named;
    // The chapters' paths in the book ("/" separated), parallel to the texts: a bar found by its
    // place and shape must lead to the chapter before or after. Without them no block is found so.
    std::vector<std::string> ChapterPaths;
    // How many threads parse the chapters side by side; the blocks found are the same whatever
    // the number.
    unsigned Jobs = 1;
    // Called with each chapter's parse while the furniture is looked for in it, on the thread
    // that parsed it, so that a pass that walks the page too need not parse it again. `page` is
    // the text parsed (LimitNesting's), whose bytes the blocks' places count; a chapter the pass
    // does not parse is not told.
    std::function<void(std::size_t chapter, const GumboDocument& parsed, std::string_view page)>
        OnParse;
};

// A block found as furniture.
struct FurnitureBlock {
    std::size_t Chapter = 0;  // index in the texts
    std::string Name;         // its tag with its id or first class: "div.related", "nav#menu"
    std::size_t Words = 0;
    std::string Why;  // "a navigation landmark", "the same on 17 of 17 chapters", ...
    // Kept since leaving it out too would pass kFurnitureMostWordsPercent.
    bool Kept = false;
    // Its bytes in the page as parsed (see FurnitureChoice::OnParse): from its start tag's first
    // to past its end tag's last.
    std::size_t Begin = 0;
    std::size_t End = 0;
};

// Cuts the furniture out of `chapters` (page texts as read, any byte encoding gumbo can read
// through; UTF-16 pages find nothing). A block is cut as the bytes from its start tag to its
// end tag, so the rest of each page stays byte for byte; a block whose end tag is not written
// is never cut. The outermost block that qualifies is cut, not the blocks inside it.
//
// Found without being named (when `choice.Detect`): landmarks; the div, ul, nav, header, footer,
// aside and table blocks whose text and element structure recur on enough chapters (see the
// constants above; so a book of one or two chapters loses landmarks only); and the blocks of those
// elements that recur on enough chapters at the same place (the same name and classes, the same
// ancestors' names, at the top or the bottom of the page: between them and the page's edge nothing
// but lines that recur and landmarks) with the same shape (element tree without texts, links and
// formatting), where most of them link to the chapter before or after: navigation bars whose words
// differ page by page, also on the first and last pages, whose bars lack a link. Never among them:
// a block with neither words nor a picture, a block holding the chapter's main heading (the first
// heading of the highest level the chapter uses) or more than half of its words. Gives the blocks
// found, in chapter order and then in page order.
std::vector<FurnitureBlock> RemovePageFurniture(std::vector<std::string>& chapters,
                                                const FurnitureChoice& choice);

}  // namespace quirebook
