// The book path a link of a chapter leads to, so that a step can tell which chapter it names.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The path, relative to the book's top, of the file `href` names when it is written in the page
// at `fromPath` (a path relative to the same top, "/" separated): the query and fragment
// dropped, "%HH" decoded, "." and ".." resolved against the page's folder. Empty when the link
// names no other file: a fragment alone or an empty href (the page itself), a scheme
// ("https:", "mailto:"), a path from the site's root, or one that climbs out of the book.
std::string LinkedBookPath(std::string_view fromPath, std::string_view href);

}  // namespace quirebook
