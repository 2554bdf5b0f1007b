// The EPUB 3 navigation document (nav.xhtml): the table of contents as nested lists and the
// landmarks of the book, from the same entries as the NCX navigation map.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"
#include "epub/HeadingNavigation.h"

namespace quirebook {

// A place a reading system may jump to directly: the cover, the title page, the start of the
// text. `Type` is its epub:type ("cover", "titlepage", "bodymatter").
struct Landmark {
    std::string Type;
    std::string Label;
    std::string Href;  // escaped for markup
};

// The file name of the navigation document: "nav.xhtml", or "nav-2.xhtml" ... when a chapter
// of the book already has that name.
std::string NavigationDocumentName(const BookProject& project);

// The landmarks the book holds: the cover page, the title page and the first chapter, each only
// when the book has it.
std::vector<Landmark> BookLandmarks(const BookProject& project);

// A list of the book's navigation beside its table of contents: of its tables ("lot") or of its
// figures ("loi").
struct NavigationListOf {
    std::string Type;   // the nav's epub:type
    std::string Label;  // its heading
    std::vector<NavigationEntry> Entries;
};

// The lists of tables and of figures of the book's HeadingEntries that have entries.
std::vector<NavigationListOf> BookNavigationLists(const BookProject& project);

// The navigation document: an XHTML5 page with a nav of epub:type "toc" whose ordered list
// nests as the entries' levels do (a deeper entry opens a list inside the entry before it), a nav
// for each of `lists`, and a hidden nav of epub:type "landmarks" when there are landmarks.
// `title` and entry texts are escaped already; an entry without text is labelled with its target.
std::string NavigationDocument(const std::vector<NavigationEntry>& entries,
                               const std::vector<NavigationListOf>& lists,
                               const std::vector<Landmark>& landmarks, const std::string& title,
                               const std::string& language);

// Writes NavigationDocumentName(project) into OpsFolder from `entries`.
void WriteNavigationDocument(const BookProject& project,
                             const std::vector<NavigationEntry>& entries);

}  // namespace quirebook
