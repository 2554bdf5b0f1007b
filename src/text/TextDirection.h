// Which way a text reads by its strong characters: the letters of left-to-right scripts (Latin,
// Greek, Cyrillic, the scripts of India and East Asia) and of right-to-left ones (Hebrew,
// Arabic, Persian, Syriac, Thaana); digits, punctuation and spaces take the way of what is
// around them and count for neither.
#pragma once

#include <string_view>

namespace quirebook {

enum class StrongDirection { None, LeftToRight, RightToLeft, Both };

// The strong directions of the UTF-8 text `text` (bytes that are no UTF-8 count for nothing).
StrongDirection StrongDirectionOf(std::string_view text);

}  // namespace quirebook
