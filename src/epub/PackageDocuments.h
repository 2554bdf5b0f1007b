// The package documents of a book: the work folder's fixed files, content.opf, toc.ncx, the
// cover page and the title page, each made from its template by text substitution.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "book/BookProject.h"

namespace quirebook {

// A template that lacks a tag the package writers insert before.
class TemplateError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Creates OutputFolder, WorkFolder and its META-INF and OPS folders where missing, and copies the
// "mimetype" and "META-INF/container.xml" templates into WorkFolder.
void PrepareWorkFolder(BookProject& project);

// Writes OpsFolder/content.opf: metadata, manifest, spine and guide. Copies the listed style
// sheets and images from SourceFolder into OpsFolder on the way; missing ones are logged and
// left out. An empty Identifier is first given a new "urn:uuid:" value, so that toc.ncx carries
// the same one.
void WriteContentOpf(BookProject& project);

// Writes OpsFolder/toc.ncx: one navigation point per chapter, or with TocFromHeadings the tree
// of HeadingEntries (one point per chapter when it is empty); dtb:depth tells the tree's depth.
void WriteTocNcx(BookProject& project);

// Writes OpsFolder/CoverPageFile showing the cover picture.
void WriteCoverPage(const BookProject& project);

// Writes OpsFolder/TitlePageFile with the book's title, author and publisher.
void WriteTitlePage(const BookProject& project);

// The names of the generated cover and title pages in OpsFolder: "coverpage.htm" and
// "titlepage.htm", in an EPUB 3 book "coverpage.xhtml" and "titlepage.xhtml".
std::string CoverPageFile(const BookProject& project);
std::string TitlePageFile(const BookProject& project);

// The media subtype of an image from its file extension ("jpeg", "png", "svg+xml" ...).
std::string ImageMediaSubtype(std::string_view path);

// A new identifier "urn:uuid:" + a random (version 4) UUID.
std::string NewBookIdentifier();

}  // namespace quirebook
