// The lists of a Word document (word/numbering.xml): each list's levels with their overrides,
// and the counters that give every numbered paragraph its label in document order.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "word/docx/DocxFormats.h"
#include "word/docx/DocxStyles.h"

namespace quirebook {

struct ListLevel {
    long Start = 1;
    std::string Format = "decimal";  // w:numFmt
    std::string Text;                // w:lvlText: "%1.%2." or a bullet character
    long Restart = -1;               // -1 after any higher level, 0 never, n after level n
    bool Legal = false;              // every number of the label in decimal
    std::string Suffix = "tab";      // what follows the label: "tab", "space" or "nothing"
    ParagraphFormat Paragraph;       // the level's indentation
    RunFormat Run;                   // the label's font
};

class DocxNumbering {
  public:
    static constexpr int kLevels = 9;

    // Reads the numbering part of the main document; without one no paragraph is numbered.
    void Load(const DocxPackage& package, const DocxFonts& fonts, const DocxStyles& styles);

    // Level `level` of list `numId`; nullptr when the document defines no such list or level.
    const ListLevel* Level(long numId, long level) const;

    // Counts one more paragraph of list `numId` at `level` and gives its label text: the
    // numbers of the label's levels in their formats, or the bullet character (a symbol font's
    // glyph code as the Latin-1 character it stands for). Empty without such a level.
    std::string NextLabel(long numId, long level);

  private:
    struct AbstractList {
        std::array<std::optional<ListLevel>, kLevels> Levels;
    };
    struct List {
        std::size_t Abstract = 0;
        std::array<std::optional<ListLevel>, kLevels> Levels;  // replacements of the abstract's
        std::array<std::optional<long>, kLevels> StartOverrides;
        bool Counted = false;
    };

    long StartOf(const List& list, long level) const;

    std::vector<AbstractList> m_abstracts;
    std::unordered_map<long, List> m_lists;
    // Counters per abstract list: lists that share one continue each other's numbers.
    std::vector<std::array<std::optional<long>, kLevels>> m_counters;
};

}  // namespace quirebook
