#include "html/SvgPictures.h"

#include "text/PatternHelpers.h"

namespace quirebook {

std::string ConformSvgPicture(std::string_view svg) {
    // Only inside a tag: what follows runs to a ">" before any "<".
    std::string conformed =
        ReplacePattern(std::string(svg),
                       "\\s(?:aria-[\\w.-]+|role)\\s*=\\s*(?:\"[^\"]*\"|'[^']*')(?=[^<>]*>)", "");
    ReplacePatternInPlace(conformed, "<stop\\b(?![^>]*\\soffset\\s*=)", "<stop offset=\"0\"");
    return conformed;
}

}  // namespace quirebook
