// A Word document package (.docx) read with care: it is a zip archive from outside, so entry
// names that are absolute or climb out are refused, what is unpacked is bounded, and its XML is
// parsed without document types or entities beyond XML's own.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace quirebook {

// A Word document that cannot be read; the message names the file and says why.
class WordDocumentError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One relationship of a part (word/_rels/document.xml.rels, say).
struct DocxRelationship {
    std::string Type;    // the type's last path segment: "image", "hyperlink", "footnotes" ...
    std::string Target;  // an internal target as a part name ("word/media/image1.png"); an
                         // external one (a web address) as written
    bool External = false;
};

class DocxPackage {
  public:
    // Bounds on what is unpacked: one part, and all parts together.
    static constexpr std::uint64_t MaximumPartSize = 256ull << 20;
    static constexpr std::uint64_t MaximumTotalSize = 1ull << 30;

    // Opens the package at `path`; WordDocumentError when it is no zip archive or has no main
    // document part.
    explicit DocxPackage(const std::string& path);
    ~DocxPackage();
    DocxPackage(const DocxPackage&) = delete;
    DocxPackage& operator=(const DocxPackage&) = delete;

    const std::string& Path() const { return m_path; }
    // The main document part named by the package relationships ("word/document.xml" as a rule).
    const std::string& MainDocumentPart() const { return m_mainPart; }

    // True when the package holds a part of that name (names without a leading "/").
    bool Has(const std::string& partName) const;
    // The part's bytes; WordDocumentError when it is missing, damaged or larger than the bounds.
    std::string Read(const std::string& partName) const;
    // Parses an XML part into `document`, keeping text nodes of white space alone. False when the
    // part is absent (the document is then empty); WordDocumentError when it is not well-formed
    // XML or declares a document type or entities.
    bool ReadXml(const std::string& partName, pugi::xml_document& document) const;
    // The relationships of a part, by id. Internal targets are resolved against the part's
    // folder; a target that is absolute or climbs out of the package is left out.
    std::map<std::string, DocxRelationship> Relationships(const std::string& partName) const;

  private:
    struct Archive;
    std::string m_path;
    std::unique_ptr<Archive> m_archive;
    std::string m_mainPart;
    mutable std::uint64_t m_unpacked = 0;
};

}  // namespace quirebook
