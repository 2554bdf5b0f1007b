// The reading order a contents page gives: the pages it links to, in the order of its links.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "html/ResourceRoot.h"

namespace quirebook {

struct ContentsWalk {
    std::vector<std::string> Pages;    // absolute paths, in reading order, each once
    std::vector<std::string> Skipped;  // one line per link not followed, naming the page with it
};

// The targets of a page's links ("<a href>" and "<area href>", not inside comments), in the
// order they are written, markup escapes undone.
std::vector<std::string> PageLinks(std::string_view page);

// The pages `contentsPage` links to, in the order of its links, then (up to `depth` levels of
// links, breadth first) the pages those link to; each page once, however many links (or
// fragments of it) lead there, and `contentsPage` first when `withContentsPage`. A page is
// followed when `root` resolves it (ResourceRoot::ResolvePage) and it lies in the contents
// page's folder, since a book's chapters lie in one folder. Every other link to a page of this
// computer is reported in Skipped with the reason; links to other sites are counted per page.
ContentsWalk WalkContentsPage(const std::string& contentsPage, const ResourceRoot& root, int depth,
                              bool withContentsPage);

}  // namespace quirebook
