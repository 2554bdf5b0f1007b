// The language a page says its whole text is in: the lang (or xml:lang) of its body, else of its
// html element.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The language tag the page's body, else its html element, gives with a lang or xml:lang
// attribute (quoted or not), as written; empty when neither gives one.
std::string PageLanguage(std::string_view page);

}  // namespace quirebook
