// The outline of a web page as a reader finds their way by it: the title the page gives itself,
// the headings of its main content with the labels a table of contents shows, and the first words
// of its text.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "html/CssSelectors.h"
#include "html/GumboPage.h"

namespace quirebook {

struct OutlineHeading {
    int Level = 1;      // the heading element's level, 1 to 6
    std::string Label;  // as a table of contents shows it: plain UTF-8 text, not escaped
    // The heading's start tag in the page: its first byte and its length; a length of 0 when the
    // page does not write the tag (the parser implied it).
    std::size_t TagStart = 0;
    std::size_t TagLength = 0;
    // An id already marking the heading's place, usable as a link's target: the heading's own, or
    // that of the element it opens with, when it is an XML name the page uses once. Empty for none.
    std::string Id;
    // Whether the heading's start tag holds an id attribute (usable or not), so that no second
    // one may be written into it.
    bool HasIdAttribute = false;
};

struct PageOutline {
    std::string Title;  // the page's <title>, its white space made single
    // The headings of the page's main content, in reading order: none inside navigation, site
    // headers and footers, sidebars, search boxes or hidden elements, none without text.
    std::vector<OutlineHeading> Headings;
    // The titled tables and figures of the main content, in reading order, each labelled with
    // its title (their Level is 1).
    std::vector<OutlineHeading> Tables;
    std::vector<OutlineHeading> Figures;
    // The opening words of the main content's first paragraph (else of its text, else of its
    // first picture's text alternative), about eight, "…" ending them when more follow.
    std::string FirstWords;
    // Every id the page holds, with how many elements hold it.
    std::map<std::string, int, std::less<>> Ids;
};

// Reads the style sheets a page links to and imports, for the rules that hide elements.
class StyleSheetSource {
  public:
    virtual ~StyleSheetSource() = default;
    // The text of the sheet `reference` names, as written in the page (`from` empty) or in the
    // sheet read before as `from`; `place` is set to what later references in it are read
    // against. Empty when there is no such sheet or it may not be read.
    virtual std::string Read(const std::string& reference, const std::string& from,
                             std::string& place) const = 0;
    // HidingSelectors of the sheet the page names `reference`; a source may keep them for the
    // next page that links the same sheet.
    virtual SelectorList HidingSelectorsOf(const std::string& reference) const;
};

// The selectors of the rules of `css` (read from `place`, empty for a page's style element) that
// hide what they select on every screen (display: none, visibility: hidden), with those of the
// sheets it imports, read through `sheets`, at most eight deep and each once. Selectors the
// selector reader does not know are passed over.
SelectorList HidingSelectors(const std::string& css, const std::string& place,
                             const StyleSheetSource& sheets);

// The outline of `page` (any byte encoding that writes markup in ASCII; its text is read in the
// charset its bytes are in). The main content is the page's main element (or role="main"), else
// its one article, else its body. Left out of it: nav, aside, a header or footer that belongs to
// the page rather than to a section of it, elements with the role navigation, search, banner,
// complementary or contentinfo, and hidden elements (hidden, aria-hidden="true", display:none or
// visibility:hidden in their style attribute or in a rule of the page's own style sheets that
// holds on every screen; `sheets` may be null to read only the page's style elements).
//
// A table is titled by its caption, a figure by its figcaption (a figure holding a table and no
// picture is a table), and a block classed "table" or "figure" (DocBook's formal objects) by
// the first element classed "title" in it.
//
// A heading's label is its text with white space (no-break spaces too) made single, without its
// permalink marks ("¶", "#" ...), footnote references and a list's bullet before it. A heading group (hgroup) is one heading
// labelled with all its parts; a heading that names only a number ("Chapter IV.", "Part 2")
// followed at once by a deeper heading is one heading labelled with both, and so are the first
// two h1 headings of the main content when nothing stands between them (a title in two lines).
// A heading that repeats the one just before it, with nothing between, is not read again.
PageOutline OutlineOfPage(std::string_view page, const StyleSheetSource* sheets);

// OutlineOfPage of a page already parsed: `page` is the text `parsed` was parsed from.
PageOutline OutlineOfParsedPage(const GumboDocument& parsed, std::string_view page,
                                const StyleSheetSource* sheets);

// The outline with no place in its page: its headings, tables and figures lead to the page's
// start (the page it was read from is not the one the book holds).
void ForgetPlaces(PageOutline& outline);

// The outline of the page once the byte ranges `cuts` ([first, past last), in the page the outline
// was read from; overlapping ones too) are cut out of it: what stood inside a cut goes, and every
// other place moves back by the bytes cut before it.
void LeaveOutCuts(PageOutline& outline, std::vector<std::pair<std::size_t, std::size_t>> cuts);

// `text` with every run of white space (no-break and other Unicode spaces too) made one space,
// trimmed; zero-width spaces and soft hyphens removed.
std::string SingleSpaced(std::string_view text);

// A label as a table of contents shows it: at most kLongestLabel characters, a longer one cut at
// a word boundary (or, in a script written without spaces, between two characters) and ended
// with "…".
constexpr std::size_t kLongestLabel = 100;
std::string ShortenedLabel(std::string_view label);

// Takes off the part that titles share, such as a site's name: the longest text that every title
// holding a separator (" — ", " – ", " - ", " | ", " · ", " :: ", " » ", a closing " (…)", or
// ": " before the rest) ends or begins with, from a separator on. Only when at least two titles
// share it; a title that would be left empty keeps it.
void RemoveSharedTitleParts(std::vector<std::string>& titles);

}  // namespace quirebook
