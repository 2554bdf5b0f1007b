// The styles of a Word document (word/styles.xml): each style's formatting resolved through its
// basedOn chain and the document defaults, and the CSS class or heading element Word writes
// for it in a web page.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "word/docx/DocxFormats.h"
#include "word/docx/DocxPackage.h"
#include "word/docx/TableFormats.h"
#include "word/docx/ThemeColors.h"

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
    // What the style's chain sets itself, without the document defaults: in a table the
    // table style's formatting lies between the two.
    ParagraphFormat ChainParagraph;
    RunFormat ChainRun;
    // A table style's formatting resolved through its chain; null for other styles.
    std::shared_ptr<const TableFormat> Table;
};

class DocxStyles {
  public:
    // Reads the styles part of the main document; without one the document has only a Normal
    // style with Word's defaults. `theme` gives the colours of table styles.
    void Load(const DocxPackage& package, const DocxFonts& fonts,
              const ThemeColors* theme = nullptr);

    // The paragraph style `id`, or the default paragraph style when there is no such style.
    const DocxStyle& Paragraph(std::string_view id) const;
    // The character, table or numbering style `id`; nullptr when there is none.
    const DocxStyle* Find(std::string_view id, StyleKind kind) const;

    // The document's default run formatting (its language is the page's).
    const RunFormat& DefaultRun() const { return m_defaultRun; }
    const ParagraphFormat& DefaultParagraph() const { return m_defaultParagraph; }
    // The table style of tables that name none: the one marked default; nullptr when none is.
    const DocxStyle* DefaultTable() const;

  private:
    std::vector<DocxStyle> m_styles;
    std::unordered_map<std::string, std::size_t> m_byId;
    std::size_t m_defaultParagraphStyle = 0;
    RunFormat m_defaultRun;
    ParagraphFormat m_defaultParagraph;
    std::size_t m_defaultTable = 0;  // m_styles.size() when there is none
};

// The class Word writes for a style: "Mso" and the capitalised words of a built-in style's name
// ("toc 1" -> "MsoToc1", "TOC Heading" -> "MsoTocHeading", "annotation text" ->
// "MsoCommentText"), a custom style's name with everything but letters and digits dropped
// ("Title page info" -> "Titlepageinfo").
std::string StyleClassName(std::string_view name, std::string_view id, bool custom);

}  // namespace quirebook
