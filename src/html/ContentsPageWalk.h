// The reading order a contents page gives: the pages of its main contents list in the list's
// order, then the pages it links elsewhere, and last those the site marks as an index, a search
// page or a glossary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "html/ResourceRoot.h"

namespace quirebook {

struct ContentsWalk {
    std::vector<std::string> Pages;  // absolute paths, in reading order, each once
    // Parallel to Pages: how deep the contents page's main list nests each page, 1 for its
    // outermost entries (and for the contents page and every page found elsewhere), 2 for the
    // entries of a list inside one of them ...
    std::vector<int> Levels;
    std::vector<std::string> Skipped;  // one line per link not followed, naming the page with it
};

// A link of a page: "<a href>" or "<area href>".
struct PageLink {
    std::string Target;  // the href, markup escapes undone
    int List = -1;  // the index of the outermost list holding it in PageLinks::ListKinds, or -1
    int Depth = 0;  // how many lists of HTML (ul, ol, dl, menu, dir) hold it
};

// What a page's markup says of its links, read from the page parsed as browsers parse it, so
// that nothing inside a comment, a script, a style sheet or a template counts.
struct PageLinks {
    std::vector<PageLink> Links;  // in document order
    // One for each outermost list of the page, in document order: its tag and class and those of
    // the element holding it ("ul<div.toctree-wrapper compound"). A list is a ul, ol, dl,
    // menu or dir, a nav or an element with role "navigation" or "doc-toc", or an element of
    // class "toc", "contents" or "menu" (DocBook's div.toc, Texinfo's div.contents and
    // table.menu); the lists inside a list belong to it.
    std::vector<std::string> ListKinds;
    // The targets that a "<link>", "<a>" or "<area>" marks with rel "index", "search" or
    // "glossary", in document order.
    std::vector<std::string> Marked;
};

// The links of `page` (UTF-8 text).
PageLinks ReadPageLinks(std::string_view page);

// The pages `contentsPage` links to in reading order, then (up to `depth` levels of links,
// breadth first) the pages those link to, each page's links taken in the same order; each page
// once, however many links (or fragments of it) lead there, and `contentsPage` first when
// `withContentsPage`.
//
// A page's reading order: the pages of its main list, the outermost list holding links to the
// most pages that are followed and not marked to come last (then the most links to them; then
// the first), with the other lists of the same kind (one per part), in document order, which is
// the order of the lists' nesting; then the pages it links elsewhere, in document order. With
// no list holding such a link, all links count in document order. The pages any page read
// marks as an index, a search page or a glossary come after all others (and are followed last
// of their level; a level's pages are all read before any is followed).
//
// A page is followed when `root` resolves it (ResourceRoot::ResolvePage) and it lies in the
// contents page's folder, since a book's chapters lie in one folder. Every other link to a page
// of this computer is reported in Skipped with the reason; links to other sites are counted per
// page.
ContentsWalk WalkContentsPage(const std::string& contentsPage, const ResourceRoot& root, int depth,
                              bool withContentsPage);

}  // namespace quirebook
