// Links between the files of a book: the book path a chapter's link leads to, and the reference
// that leads from one file of the book to another.
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

// The book path `to` as a reference from the file `from` (both relative to the book's top, "/"
// separated), the bytes a reference would read otherwise percent-encoded.
std::string RelativeReference(const std::string& from, const std::string& to);

}  // namespace quirebook
