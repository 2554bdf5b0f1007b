// The XHTML 1.1 conformance stage of a chapter: the chapter parsed as a browser parses it and
// written back as well-formed XHTML 1.1 whose elements, attributes, content and ids that document
// type allows; and the links and images of a chapter kept inside the book.
//
// Use over a book in two passes:
//   1. for every chapter: text = ConformChapter(text, options); collect ConformedIds(text);
//   2. fill a BookLinks with every file of the book and every chapter's ids, then for every
//      chapter: text = FixChapterLinks(text, chapterFile, links).
// A chapter's ids are known only once it is conformed (renamed, deduplicated, dropped with an
// element that could not stay), so links are checked only when every chapter has been through
// pass 1.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

struct ConformOptions {
    // The book's language: xml:lang of the html element, left out for "en" (and for a text that
    // is not a language tag).
    std::string Language = "en";
    // The title given to a chapter whose head has none (XHTML requires one).
    std::string Title;
};

// The chapter (UTF-8) as an XHTML 1.1 document: the XML declaration, the document type, one
// head with one title, a body. Elements XHTML 1.1 does not know become div or span with their
// old name as a class; attributes an element may not carry are dropped; content an element may
// not hold is wrapped, split out or moved; scripts go; every id is an XML name used once; no text
// of the body is lost. Never fails: any bytes give a well-formed document.
std::string ConformChapter(std::string_view chapter, const ConformOptions& options);

// The ids a chapter written by ConformChapter defines, in document order.
std::vector<std::string> ConformedIds(std::string_view conformedChapter);

// What pass 2 checks links against: the book's files and the ids of its chapters. Paths are
// relative to the book's root folder, "/"-separated, not percent-encoded.
class BookLinks {
  public:
    // An image, a style sheet or any other file the book holds.
    void AddFile(const std::string& path);
    // A chapter file and the ids it defines (ConformedIds).
    void AddChapter(const std::string& path, const std::vector<std::string>& ids);

    bool HoldsFile(const std::string& path) const;
    bool IsChapter(const std::string& path) const;
    bool Defines(const std::string& chapter, const std::string& id) const;
    // The one chapter defining `id`, or nullptr when none or several do.
    const std::string* SoleHolder(const std::string& id) const;

  private:
    std::set<std::string> files_;
    std::map<std::string, std::set<std::string>> chapterIds_;
    // id -> the first chapter defining it and how many chapters do.
    std::map<std::string, std::pair<std::string, std::size_t>> holders_;
};

// The conformed chapter `chapterFile` with its links kept inside the book: a fragment its target
// file does not define points to the one chapter that defines it, or is dropped; a link to a
// file the book does not hold becomes plain text unless it is external (http, https, mailto,
// ftp); an image the book does not hold becomes its alt text; a style sheet or other linked
// file the book does not hold is no longer linked.
std::string FixChapterLinks(std::string_view conformedChapter, const std::string& chapterFile,
                            const BookLinks& book);

// The page with start tags removed where the elements they open would nest deeper than
// `maxDepth` (their content stays), so that no parse of a hostile page goes deep. Elements that
// close themselves (p, li, td ...) and void elements are not counted.
std::string LimitNesting(std::string_view page, std::size_t maxDepth);

}  // namespace quirebook
