// Footnote references, drop caps and a device tweak: small content steps that adapt chapters to
// reading systems.
#pragma once

#include <string>
#include <string_view>

#include "book/ChapterTexts.h"

namespace quirebook {

// The body with the bracketed text of each footnote or endnote reference link ("<a
// href="#_ftn1">", "<a href="#_edn2">") wrapped in "<sup>" and "</sup>": the first "[" at or
// after the link through the next "]". A link with no "[" after it, or a "[" with no later "]",
// ends the wrapping; the rest of the body is kept as it is.
std::string WrapFootnoteReferences(std::string_view body);

// The body with "<span" written "<samp" and "</span>" written "</samp>" (exact case), for
// reading systems that apply the book's fonts only to sample elements.
std::string SpansToSamples(std::string_view body);

// In each chapter text, every one-cell table holding a single letter in a span
// (the layout of a dropped initial capital) becomes a paragraph of class "dropcap" holding that
// span. A chapter that gets one also gets a style rule that drops the letter.
void MakeDropCaps(ChapterTexts& texts);

}  // namespace quirebook
