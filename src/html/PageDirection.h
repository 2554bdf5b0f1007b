// The writing direction a page gives its whole text (a dir attribute on its html or body
// element), found before the conversion rewrites those tags and put back on the chapter's body
// after it.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// "rtl" or "ltr" as the page's body, else its html element, says with a dir attribute (any case
// of letters, quoted or not); empty when neither says.
std::string PageDirection(std::string_view page);

// The page with dir="DIRECTION" on its body start tag, unless `direction` is empty or the tag
// already has a dir; a page without a body tag comes back unchanged.
std::string WithBodyDirection(std::string page, std::string_view direction);

}  // namespace quirebook
