// The navigation of a book's table of contents: the entries the NCX and the navigation document
// list, and the nested NCX navigation points written from them.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"

namespace quirebook {

// One entry of a book's table of contents, as both the NCX and the navigation document list it.
struct NavigationEntry {
    std::string Text;  // escaped for markup
    int Level = 1;     // the depth: 1 at the top, each level one deeper than the entry it is in
    std::string Href;  // the chapter file (escaped) and the fragment, if any
};

// The entries of `list` of the book's HeadingEntries, each leading to its chapter file at its
// anchor.
std::vector<NavigationEntry> HeadingNavigation(const BookProject& project,
                                               NavigationList list = NavigationList::Contents);

// The play order of an NCX: a number for each place its points and targets lead to, in the order
// they are first met, so that those leading to one place share it.
class PlayOrder {
  public:
    std::size_t Of(const std::string& href);

  private:
    std::map<std::string, std::size_t> m_numbers;
};

// The NCX navigation points of `entries`, nested by level: an entry deeper than the one before
// it opens inside it, any other closes the open points down to its own level first (an entry
// more than one level deeper nests one level deeper). Points are numbered in order; their play
// order numbers the places they lead to (`order`, shared with the document's lists).
// `contentEnd` closes each content element.
std::string NcxNavPoints(const std::vector<NavigationEntry>& entries, PlayOrder& order,
                         std::string_view contentEnd = "/>");
// The same with a play order of its own.
std::string NcxNavPoints(const std::vector<NavigationEntry>& entries,
                         std::string_view contentEnd = "/>");

// An NCX navigation list (of tables, of figures) named `id`, labelled `label`, of `entries`;
// empty for no entry.
std::string NcxNavList(const std::string& id, const std::string& label,
                       const std::vector<NavigationEntry>& entries, PlayOrder& order);

// The start of NCX navigation point number `number`, up to its content element's src attribute
// value and its closing quote: the caller closes the content element and the point.
std::string NavPointOpening(std::size_t number, std::size_t playOrder, std::string_view label,
                            std::string_view src);

}  // namespace quirebook
