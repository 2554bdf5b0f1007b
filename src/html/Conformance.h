// The XHTML 1.1 conformance stage of a chapter: the chapter parsed as a browser parses it and
// written back as well-formed XHTML 1.1 whose elements, attributes, content and ids that document
// type allows; and the links and images of a chapter kept inside the book.
//
// Use over a book in two passes:
//   1. for every chapter: a ConformedChapter of its text; collect its Ids();
//   2. fill a BookLinks with every file of the book and every chapter's ids, then for every
//      chapter write WithBookLinks(chapterFile, links).
// A chapter's ids are known only once it is conformed (renamed, deduplicated, dropped with an
// element that could not stay), so links are checked only when every chapter has been through
// pass 1. Each chapter is parsed once: pass 2 works on the tree pass 1 built.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/BookLinks.h"

namespace quirebook {

struct ConformOptions {
    // The book's language: xml:lang of the html element, left out for "en" (and for a text that
    // is not a language tag).
    std::string Language = "en";
    // The title given to a chapter whose head has none (XHTML requires one).
    std::string Title;
    // 3: the chapter is held to HTML5 in its XML form (an EPUB 3 chapter) instead of XHTML 1.1:
    // the HTML5 sectioning and figure elements, mark and time stay, epub:type stays an
    // attribute, the document type is HTML5's.
    int EpubVersion = 2;
};

// A chapter (UTF-8) parsed as a browser parses it and held to XHTML 1.1: elements XHTML 1.1
// does not know become div or span with their old name as a class; attributes an element may
// not carry are dropped; content an element may not hold is wrapped, split out or moved;
// scripts go; every id is an XML name used once; no text of the body is lost. Never fails: any
// bytes give a well-formed document.
class ConformedChapter {
  public:
    ConformedChapter(std::string_view chapter, const ConformOptions& options);
    ConformedChapter(ConformedChapter&&) noexcept;
    ConformedChapter& operator=(ConformedChapter&&) noexcept;
    ~ConformedChapter();

    // The ids the written chapter defines, in document order.
    const std::vector<std::string>& Ids() const { return ids_; }
    // The chapter as an XHTML 1.1 document: the XML declaration, the document type, one head
    // with one title, a body.
    std::string Written() const;
    // The chapter written with its links kept inside the book: a fragment its target file
    // does not define points to the one chapter that defines it, or is dropped; a link to a
    // file the book does not hold becomes plain text unless it is external (http, https,
    // mailto, ftp); an image the book does not hold becomes its alt text; a style sheet or
    // other linked file the book does not hold is no longer linked. The held tree is changed:
    // call it once, last.
    std::string WithBookLinks(const std::string& chapterFile, const BookLinks& book);

  private:
    struct Held;
    std::unique_ptr<Held> held_;
    std::vector<std::string> ids_;
};

// ConformedChapter(chapter, options).Written().
std::string ConformChapter(std::string_view chapter, const ConformOptions& options);

}  // namespace quirebook
