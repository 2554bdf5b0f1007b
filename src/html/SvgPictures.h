// SVG pictures as EPUB 2 readers and validators take them: SVG 1.1, without the attributes of
// later web standards that drawing tools now write.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The SVG document with the accessibility attributes SVG 1.1 does not know ("role" and every
// "aria-...") removed from its tags, and offset="0" (the value readers assume) given to each
// gradient stop that has no offset. Everything else is left byte for byte.
std::string ConformSvgPicture(std::string_view svg);

}  // namespace quirebook
