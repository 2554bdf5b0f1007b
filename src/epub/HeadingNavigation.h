// Navigation from headings: gathering a chapter's h1 to h6 headings with an anchor at each, and
// the nested NCX navigation points built from them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"

namespace quirebook {

// The text a heading's inner markup gives in the table of contents: tags and no-break spaces
// removed, cut to at most 32 bytes (before the last space when that lies after byte 16, never
// inside a character or an entity), line breaks and tabs removed, trimmed.
std::string HeadingText(std::string_view innerMarkup);

// Adds the headings of `chapterText` (chapter number `chapter`) to `entries`, numbered from 1
// within the chapter, until `entries` holds BookProject::MaximumHeadingEntries. Each heading
// taken gets the anchor id "a" + its number: an <a id="aN"/> as the first thing inside the
// heading, unless the chapter already has that id. Headings without text are skipped.
void FindHeadings(std::string& chapterText, int chapter, std::vector<HeadingEntry>& entries);

// One entry of a book's table of contents, as both the NCX and the navigation document list it.
struct NavigationEntry {
    std::string Text;  // escaped for markup
    int Level = 1;     // 1 to 6; every entry of a list of chapters is 1
    std::string Href;  // the chapter file (escaped) and the fragment, if any
};

// Gathers the headings of every chapter in OpsFolder into HeadingEntries (writing the anchors
// into the chapters) and gives them as navigation entries. Without any heading it gives none and
// says so in BuildLog.
std::vector<NavigationEntry> GatherHeadingNavigation(BookProject& project);

// The NCX navigation points of `entries`, nested by level; `contentEnd` closes each content
// element.
std::string NcxNavPoints(const std::vector<NavigationEntry>& entries,
                         std::string_view contentEnd = "/>");

// NcxNavPoints(GatherHeadingNavigation(project)): the nested navigation points for toc.ncx.
std::string MakeNavMapFromHeadings(BookProject& project);

// The start of an NCX navigation point, up to its content element's src attribute value and its
// closing quote: the caller closes the content element and the point.
std::string NavPointOpening(std::size_t playOrder, std::string_view label, std::string_view src);

}  // namespace quirebook
