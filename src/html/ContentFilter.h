// The EPUB content filter: rewrites or removes markup that EPUB validation rejects, in a chapter
// (FilterChapter) or in the whole HTML of a Word import (FilterWordHtml); Word's page breaks;
// the chapter's title element.
#pragma once

#include <string>
#include <string_view>

#include "book/BookProject.h"
#include "html/IdentifierNames.h"

namespace quirebook {

// The chapter filter. With PassEpubCheck off the text comes back unchanged. Otherwise the text
// is cut into a head piece (up to the first "<body", found without regard to case, then a bare
// "<body>"), the body piece (ExtractBodyText) and the tail "</body></html>"; the chapter rules
// run on the body piece. Every id (and name) value is then an XML name and every in-book link
// fragment follows it (MendIdentifiers, with the names `book` gives the other chapters' ids). A
// text without "<body" but with "</head>" takes what follows "</head>" (up to "</html>") as its
// body; a text with neither is left unchanged.
std::string FilterChapter(std::string text, const OptionFlags& options,
                          const BookIdentifiers& book = {});

// The Word filter: as FilterChapter, with the rule list for Word's HTML.
std::string FilterWordHtml(std::string text, const OptionFlags& options);

// Word's page-break spans replaced by "<div class="pager"/>" when AllowPageBreak is on, removed
// otherwise.
std::string ReplacePageBreaks(std::string text, const OptionFlags& options);

// When the text holds no "<title>", "<title>" + title + "</title>" inserted just before the
// first "</head>"; nothing happens without "</head>".
std::string InsertChapterTitle(std::string text, std::string_view title);

// The two forms of image tag AddMissingAlt looks at.
enum class ImageTagForm {
    SelfClosed,  // "<img .../>": alt="" goes before the "/>"
    Open,        // "<img ...>": alt="" goes before the ">" (before a closing "/" if there is one)
};

// Every image tag of the given form whose text does not hold " alt=" gets " alt=\"\"".
std::string AddMissingAlt(std::string_view text, ImageTagForm form);

// The ids and names of a chapter (its id and name values in tags, in order), named.
ChapterIdentifiers CollectIdentifiers(std::string_view text);

// Every id and name value (double- or single-quoted, inside a tag) given its name in the chapter
// (CollectIdentifiers), and the fragment of every href without a scheme percent-decoded and
// named the same way: "#x" as this chapter names it, "page.html#x" as `book` names the ids of
// page.html (XmlIdentifier when `book` does not hold it), so that links still meet their
// targets. Of two id attributes in one tag (left by turning name into id) only the first stays.
std::string MendIdentifiers(std::string_view text, const BookIdentifiers& book = {});

}  // namespace quirebook
