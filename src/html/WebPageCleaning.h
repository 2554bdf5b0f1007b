// Web page cleaning: strips scripts, media, forms, images and hyperlinks from a chapter page as
// the removal settings choose, and removes empty inline elements.
#pragma once

#include <string>
#include <string_view>

#include "book/BookProject.h"

namespace quirebook {

// Reads `source`, cleans it with CleanWebPage and writes the result to `target`. A source that
// cannot be read is cleaned as the text "R" (LoadTextFile); a write failure raises InOutError.
void CleanWebPageFile(const std::string& source, const std::string& target,
                      const OptionFlags& options);

// The page trimmed, its runs of spaces made single (but for the content of pre, textarea,
// listing and xmp, whose spaces are kept as written), then without the groups chosen by
// RemoveScripts, RemoveMedia, RemoveForms, RemoveImages and RemoveLinks (in that order).
std::string CleanWebPage(std::string_view text, const OptionFlags& options);

// The page with every run of spaces made one, except inside pre, textarea, listing and xmp,
// where the spaces are the content: a run of them indents a line of code. An element left open
// keeps its spaces to the end of the page, as a browser shows it.
std::string SingleSpacedOutsidePreformatted(std::string_view page);

// The text with every "<a " hyperlink reduced to its link text, in one pass: a self-closed anchor
// disappears, an anchor whose start tag holds "#_ftn" or "#_edn" (a footnote or endnote link)
// stays whole. An "<a " without a later ">", or whose start tag has no later "</a>", keeps the
// rest of the text from that "<a " on unchanged. Only the exact lower-case "<a " is seen.
std::string RemoveHyperlinks(std::string_view text);

// The text without empty font/span/p/b/u/i/s elements, with b/u/i/s/font elements holding only
// blanks and "&nbsp;" replaced by that content, and with a span around a lone self-closed div
// replaced by the div.
std::string RemoveEmptyElements(std::string text);

}  // namespace quirebook
