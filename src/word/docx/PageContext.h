// What every writer of a filtered web page shares: the document's fonts, styles, lists,
// notes, sections and pictures, and the record of what the page uses, from which its style
// sheet is made.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "word/docx/DocxFonts.h"
#include "word/docx/DocxNotes.h"
#include "word/docx/DocxNumbering.h"
#include "word/docx/DocxPackage.h"
#include "word/docx/DocxSections.h"
#include "word/docx/DocxStyles.h"
#include "word/docx/PictureStore.h"
#include "word/docx/ThemeColors.h"

namespace quirebook {

// Word's class suffixes for paragraphs of a style with contextual spacing that follow each
// other: the first, the ones between, the last.
enum class ContextualPlace { None, First, Middle, Last };

struct PageContext {
    const DocxPackage& Package;
    const DocxFonts& Fonts;
    const DocxStyles& Styles;
    DocxNumbering& Numbering;
    DocxNotes& Notes;
    PictureStore& Pictures;
    std::vector<SectionLayout> Sections;
    std::string PageLanguage;  // "EN-US"

    // What the page uses: paragraph styles (with the contextual places they stand in),
    // character styles and fonts. Styles are ordered as the document defines them.
    std::set<std::pair<const DocxStyle*, ContextualPlace>> ParagraphStyles;
    std::set<const DocxStyle*> CharacterStyles;
    std::set<std::string> FontsUsed;

    // The body's bookmarks, which the page writes as named anchors: cross-references link to
    // them, and to nothing else, so that no link of the book leads nowhere.
    std::set<std::string> Bookmarks;

    // Lines for the book's log: what the page could not show as the document does.
    std::vector<std::string> Remarks;
    // Parts of equations written as their text, not understood as math.
    std::size_t MathPartsNotUnderstood = 0;

    bool RightToLeftPage = false;  // the page's body reads right to left (dir=RTL)

    // The colours of the document's theme; nullptr when it has none.
    const ThemeColors* Theme = nullptr;
};

}  // namespace quirebook
