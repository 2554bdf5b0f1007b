// What an EPUB 3 package adds to the EPUB 2 one: the package version, the modification time,
// the creator's role as a refinement, accessibility metadata drawn from what the chapters hold,
// manifest properties, and the HTML5 document type of generated pages.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace quirebook {

// What a chapter holds that the package declares or describes.
struct ChapterFeatures {
    bool Svg = false;     // an inline svg element
    bool MathMl = false;  // an inline math element
    std::size_t Pictures = 0;
    std::size_t PicturesWithText = 0;  // pictures with a non-empty alt text

    ChapterFeatures& operator+=(const ChapterFeatures& other);
};

// The features of a chapter's markup.
ChapterFeatures ScanChapter(std::string_view text);

// The properties attribute of a chapter's manifest item (with a leading space), or "" when the
// chapter needs none.
std::string ItemProperties(const ChapterFeatures& chapter);

// `when` as the package's modification time: UTC, to the second, "2026-01-31T12:00:00Z".
std::string ModifiedTime(std::time_t when);

// What the accessibility metadata is drawn from.
struct BookFeatures {
    ChapterFeatures Chapters;  // summed over every chapter
    std::size_t ChapterCount = 0;
    bool Cover = false;
};

// The meta elements of the EPUB 3 metadata: dcterms:modified and the schema.org accessibility
// properties, one a line, the lines after the first indented as the template's metadata.
std::string Epub3Metadata(const BookFeatures& book, std::string_view modified);

// A sentence for a reader of the store's listing that says what the book holds.
std::string AccessibilitySummary(const BookFeatures& book);

// The package document of the EPUB 2 template made an EPUB 3 one: version 3.0, and the opf:
// attributes EPUB 3 no longer has removed from the Dublin Core elements (the creator's role
// becomes a meta refining it).
std::string Epub3PackageDocument(std::string opf);

// A generated page (cover, title page) with the HTML5 document type instead of its own.
std::string WithHtml5DocumentType(std::string page);

}  // namespace quirebook
