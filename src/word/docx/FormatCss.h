// Paragraph and run formatting as CSS declarations in Word's order: whole, for the rules of the
// style sheet, or only where it differs from a style, for an element's style attribute.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "word/docx/DocxFormats.h"

namespace quirebook {

class CssDeclarations {
  public:
    void Add(std::string property, std::string value);
    bool Empty() const { return m_items.empty(); }
    // "margin-left:.5in;text-indent:-.25in": the value of a style attribute.
    std::string Inline() const;
    // "\n\t{margin-top:4.0pt;\n\tfont-size:10.0pt;}": the block of a style sheet rule.
    std::string Block() const;

  private:
    std::vector<std::pair<std::string, std::string>> m_items;
};

// Everything a paragraph or a run format sets, as a style sheet rule holds it.
void AddParagraphRule(const ParagraphFormat& format, CssDeclarations& css);
void AddRunRule(const RunFormat& format, const DocxFonts& fonts, CssDeclarations& css);

// What `format` changes in `style`: the direct formatting of one paragraph.
void AddParagraphChanges(const ParagraphFormat& format, const ParagraphFormat& style,
                         CssDeclarations& css);

// What `format` changes in `base` and no element says: sizes, fonts, colours, and the bold,
// italic, underline and raised text of `base` switched off ("font-weight:normal"). Bold,
// italic, underline, strike-through and raised text switched on are written as elements.
void AddRunChanges(const RunFormat& format, const RunFormat& base, const DocxFonts& fonts,
                   CssDeclarations& css);

}  // namespace quirebook
