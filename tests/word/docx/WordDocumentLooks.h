// Test support: a Word document's paragraphs as Word shows them, read from its parts with the
// rules of WordprocessingML (document defaults, then the paragraph style and the styles it is
// based on, then the character style, then the run's own properties): each run's size, font,
// underline and strikethrough, each paragraph's heading level and list bullet.
#pragma once

#include <string>
#include <vector>

namespace quirebook::testing {

struct WordRunLook {
    std::string Text;
    double Points = 10;
    std::string Font;         // the Latin font's name
    bool Monospaced = false;  // the font table gives the font a fixed pitch or a monospaced panose
    bool Underline = false;
    bool Strike = false;
};

struct WordParagraphLook {
    std::string Text;
    int HeadingLevel = 0;  // 1 to 9 for an outline level, 0 for body text
    bool DefaultStyle = false;
    std::vector<WordRunLook> Runs;
    // A bullet of a list level: its font and its character code (0x20 to 0xFF, a symbol font's
    // glyph code taken back from U+F0xx); empty font when the paragraph has none.
    std::string BulletFont;
    unsigned BulletCode = 0;
};

struct WordDocumentLooks {
    double NormalPoints = 10;  // the size of the default paragraph style
    std::vector<WordParagraphLook> Paragraphs;
};

// The looks of the document at `path` (a .docx); WordDocumentError when it cannot be read.
WordDocumentLooks ReadWordDocumentLooks(const std::string& path);

}  // namespace quirebook::testing
