// How one cell of a Word table looks: the conditional formats of the table style that reach it
// (first and last rows and columns, bands, corner cells, as the table's switches allow), each
// border side from the layer that sets it last, its shading, its margins and the formatting of
// its paragraphs.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <optional>
#include <string>

#include "word/docx/TableFormats.h"

namespace quirebook {

// Where a cell stands in its table.
struct CellPlace {
    std::size_t Row = 0, LastRow = 0;  // the rows it spans, 0-based
    std::size_t Rows = 1;              // the rows of the table
    long Column = 0, LastColumn = 0;   // the grid columns it spans
    bool FirstInRow = false, LastInRow = false;
};

struct CellLook {
    std::optional<WordBorder> Top, Left, Bottom, Right;
    std::optional<std::string> Fill;  // a CSS colour; empty for none
    CellMargins Margins;
    TableLayer Text;  // the paragraph and run formatting the table gives its paragraphs
};

// The look of the cell at `place` of a table formatted `format` (its style's formatting with
// the table's own properties over it) that takes the conditional formats `look` switches on;
// `tcPr` is the cell's own properties, which lie over everything the table gives.
CellLook LookOfCell(const TableFormat& format, const TableLook& look, const CellPlace& place,
                    pugi::xml_node tcPr, const ThemeColors* theme);

}  // namespace quirebook
