// The markup Word writes around the text of a run: the character style's class span, then b,
// i, u and s, a span with the run's language and its changes to the style's formatting, and
// sup or sub innermost.
#pragma once

#include <string>

#include "word/docx/DocxFormats.h"

namespace quirebook {

struct RunMarkup {
    std::string Open;
    std::string Close;
    bool operator==(const RunMarkup&) const = default;
};

// The markup of a run formatted `format` in a paragraph whose style (with the run's character
// style) gives `base`. `styleClass` is the character style's class, empty for none. The span's
// lang attribute is written when the run's language is not `pageLanguage` ("EN-US").
RunMarkup MakeRunMarkup(const RunFormat& format, const RunFormat& base,
                        const std::string& styleClass, const std::string& pageLanguage,
                        const DocxFonts& fonts);

// A language tag as Word writes it in a page: "en-US" -> "EN-US".
std::string PageLanguageTag(std::string_view language);

}  // namespace quirebook
