// How Word opens a paragraph in a web page: h1 to h6 for the heading styles, otherwise p with
// the style's class (and Word's CxSpFirst/Middle/Last suffix between paragraphs of a style with
// contextual spacing), the direct formatting as a style attribute, and the list label first;
// and whether it is an entry of a table of contents.
#pragma once

#include <pugixml.hpp>

#include <string>

#include "word/docx/PageContext.h"
#include "word/docx/RunMarkup.h"
#include "word/docx/TableFormats.h"

namespace quirebook {

struct ParagraphSetup {
    std::string OpenTag;       // "<p class=MsoListParagraphCxSpFirst style='text-indent:-.25in'>"
    std::string CloseTag;      // "</p>"
    std::string Label;         // the list label's markup; empty when the paragraph has none
    RunFormat StyleRun;        // the run formatting the paragraph's style gives (its class rule)
    RunFormat TextRun;         // what its text starts from: StyleRun, with a table's formatting
                               // beneath the style's own in a table cell
    RunFormat MarkRun;         // the paragraph mark's formatting (for an empty paragraph, a break)
    BorderEdges Borders;       // the borders of the paragraph
    RunMarkup MarkMarkup;      // the markup of an empty paragraph's no-break space
    bool RightToLeft = false;  // the paragraph reads right to left (w:bidi)
    // An entry of Word's table of contents (styles "toc 1" to "toc 9"): a book has no page
    // numbers, so the entry is written without its page number and the tab before it, linked
    // to its heading (EntryLink when the entry has no link of its own).
    bool ContentsEntry = false;
    std::string EntryLink;
};

// Sets up paragraph `paragraph`: counts its list number, records the styles and fonts it uses.
// `table` is what the table gives the paragraphs of the cell that holds it, nullptr outside
// tables.
ParagraphSetup SetUpParagraph(pugi::xml_node paragraph, PageContext& context,
                              const TableLayer* table = nullptr);

// The paragraph style's formatting as its style sheet rule holds it: the style's own with the
// indentation of the list the style numbers, if any.
ParagraphFormat StyleRuleFormat(const DocxStyle& style, const DocxNumbering& numbering);

// The markup Word writes for a page break, or the break before a section: a span in the
// formatting of `format` holding <br clear=all style='page-break-before:VALUE'>.
std::string BreakMarkup(const RunFormat& format, const std::string& breakValue,
                        const DocxFonts& fonts);

}  // namespace quirebook
