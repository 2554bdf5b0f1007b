// Page furniture: the navigation bars, sidebars, search boxes and footers a web site repeats on
// every page, found by repetition across a book's chapters (and by landmarks and selectors) and
// cut out of the chapters' texts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "html/CssSelectors.h"

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
    // The navigation map is made from the chapters' headings: a block holding a heading with
    // text stays.
    bool HeadingsInNavigation = false;
    // How many threads parse the chapters side by side; the blocks found are the same whatever
    // the number.
    unsigned Jobs = 1;
};

// A block found as furniture.
struct FurnitureBlock {
    std::size_t Chapter = 0;  // index in the texts
    std::string Name;         // its tag with its id or first class: "div.related", "nav#menu"
    std::size_t Words = 0;
    std::string Why;  // "a navigation landmark", "the same on 17 of 17 chapters", ...
    // Kept since leaving it out too would pass kFurnitureMostWordsPercent.
    bool Kept = false;
};

// Cuts the furniture out of `chapters` (page texts as read, any byte encoding gumbo can read
// through; UTF-16 pages find nothing). A block is cut as the bytes from its start tag to its
// end tag, so the rest of each page stays byte for byte; a block whose end tag is not written
// is never cut. The outermost block that qualifies is cut, not the blocks inside it.
//
// Found without being named (when `choice.Detect`): landmarks, and the div, ul, nav, header,
// footer and aside blocks whose text and element structure recur on enough chapters (see the
// constants above; so a book of one or two chapters loses landmarks only). Never among them:
// a block with neither words nor a picture, a block holding the chapter's main heading (the first
// heading of the highest level the chapter uses) or more than half of its words, a block holding a
// heading when `choice.HeadingsInNavigation`. Gives the blocks found, in chapter order and then in
// page order.
std::vector<FurnitureBlock> RemovePageFurniture(std::vector<std::string>& chapters,
                                                const FurnitureChoice& choice);

}  // namespace quirebook
