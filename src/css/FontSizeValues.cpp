// Judging font sizes as epubcheck judges them.
#include "css/FontSizeValues.h"

#include <set>
#include <string>

#include "text/TextUtilities.h"

namespace quirebook {

bool IsAcceptedFontSize(std::string_view css, const CssToken& token, bool inShorthand) {
    static const std::set<std::string> kKeywords = {"xx-small", "x-small", "small",    "medium",
                                                    "large",    "x-large", "xx-large", "larger",
                                                    "smaller",  "inherit"};
    static const std::set<std::string, std::less<>> kUnits = {
        "px", "em", "ex", "pt", "pc", "in", "cm", "mm", "rem", "ch", "vw", "vh", "vmin", "vmax"};
    const std::string_view text = css.substr(token.Begin, token.End - token.Begin);
    switch (token.Type) {
        case CssTokenType::Ident:
            return kKeywords.count(CssTokenName(css, token)) != 0;
        case CssTokenType::Number:
            return text == "0";
        case CssTokenType::Percentage:
            return text.find_first_of("eE") == std::string_view::npos;
        case CssTokenType::Dimension: {
            const std::size_t unit = text.find_first_not_of("+-.0123456789");
            return kUnits.count(AsciiLower(text.substr(unit))) != 0;
        }
        case CssTokenType::Function:
        case CssTokenType::String:
            return !inShorthand;
        default:
            return true;
    }
}

}  // namespace quirebook
