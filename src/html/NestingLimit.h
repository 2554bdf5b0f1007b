// Cuts a page's nesting before it is parsed, so that no parse of a hostile page goes deep.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quirebook {

// The page with start tags removed where the elements they open would nest deeper than
// `maxDepth` (their content stays), so that no parse of a hostile page goes deep. Elements that
// close themselves (p, li, td ...) and void elements are not counted.
std::string LimitNesting(std::string_view page, std::size_t maxDepth);

}  // namespace quirebook
