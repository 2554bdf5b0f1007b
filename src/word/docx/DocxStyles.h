// The styles of a Word document (word/styles.xml): each style's formatting resolved through its
// basedOn chain and the document defaults, and the CSS class or heading element Word writes
// for it in a web page.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "word/docx/DocxFormats.h"
#include "word/docx/DocxPackage.h"

namespace quirebook {

enum class StyleKind { Paragraph, Character, Table, Numbering };

struct DocxStyle {
    std::string Id;
    std::string Name;
    StyleKind Kind = StyleKind::Paragraph;
    // The class Word writes for it ("MsoNormal", "MsoToc1", "Code"); empty for the headings
    // written as h1 to h6 and for the default character style.
    std::string ClassName;
    int HeadingLevel = 0;  // 1 to 6 for "heading 1" to "heading 6", else 0
    // Resolved formatting. A paragraph style's run formatting starts from the document
    // defaults; a character style's holds only what its own chain sets.
    ParagraphFormat Paragraph;
    RunFormat Run;
    bool TableBorders = false;  // a table style that draws borders
};

class DocxStyles {
  public:
    // Reads the styles part of the main document; without one the document has only a Normal
    // style with Word's defaults.
    void Load(const DocxPackage& package, const DocxFonts& fonts);

    // The paragraph style `id`, or the default paragraph style when there is no such style.
    const DocxStyle& Paragraph(std::string_view id) const;
    // The character, table or numbering style `id`; nullptr when there is none.
    const DocxStyle* Find(std::string_view id, StyleKind kind) const;

    // The document's default run formatting (its language is the page's).
    const RunFormat& DefaultRun() const { return m_defaultRun; }

  private:
    std::vector<DocxStyle> m_styles;
    std::unordered_map<std::string, std::size_t> m_byId;
    std::size_t m_defaultParagraph = 0;
    RunFormat m_defaultRun;
};

// The class Word writes for a style: "Mso" and the capitalised words of a built-in style's name
// ("toc 1" -> "MsoToc1", "TOC Heading" -> "MsoTocHeading", "annotation text" ->
// "MsoCommentText"), a custom style's name with everything but letters and digits dropped
// ("Title page info" -> "Titlepageinfo").
std::string StyleClassName(std::string_view name, std::string_view id, bool custom);

// True when a w:tblBorders element draws any border.
bool DrawsBorders(pugi::xml_node tableBorders);

}  // namespace quirebook
