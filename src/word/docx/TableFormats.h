// Word's table formatting as layers: a table style's whole-table formatting and its conditional
// formats (first and last rows and columns, banded rows and columns, corner cells), a table's
// own properties, and the switches (w:tblLook) that say which conditional formats a table takes.
#pragma once

#include <pugixml.hpp>

#include <array>
#include <optional>
#include <string>

#include "word/docx/DocxFormats.h"
#include "word/docx/ThemeColors.h"
#include "word/docx/WordBorders.h"

namespace quirebook {

// The parts of a table a style formats, in the order Word lays their formats over each other:
// rows win over columns, corner cells over both.
enum class TableRegion {
    WholeTable,
    Band1Vert,
    Band2Vert,
    Band1Horz,
    Band2Horz,
    FirstColumn,
    LastColumn,
    FirstRow,
    LastRow,
    TopRightCell,
    TopLeftCell,
    BottomRightCell,
    BottomLeftCell,
};
constexpr std::size_t kTableRegions = 13;

// The room between a cell's edges and its text, in twentieths of a point.
struct CellMargins {
    std::optional<long> Top, Left, Bottom, Right;
    void Overlay(const CellMargins& over);
};

// What one layer of formatting gives a region of a table.
struct TableLayer {
    ParagraphFormat Paragraph;  // of the paragraphs in the region's cells
    RunFormat Run;
    // The borders of w:tblPr (those of the region's outer sides and those between its cells)
    // and of w:tcPr: a table's borders lie beneath its cells'.
    BorderEdges TableBorders, CellBorders;
    std::optional<std::string> TableFill, CellFill;  // CSS colours; empty for none
    CellMargins Margins;

    void Overlay(const TableLayer& over);
};

struct TableFormat {
    std::array<TableLayer, kTableRegions> Regions;
    std::optional<long> RowBand, ColumnBand;  // rows or columns in a band
    std::optional<std::string> Alignment;     // "left", "center" or "right": where it stands

    void Overlay(const TableFormat& over);
    TableLayer& operator[](TableRegion region) { return Regions[static_cast<std::size_t>(region)]; }
    const TableLayer& operator[](TableRegion region) const {
        return Regions[static_cast<std::size_t>(region)];
    }
};

// The margins of w:tblCellMar or w:tcMar (those in twentieths of a point).
CellMargins ReadCellMargins(pugi::xml_node margins);

// The formatting a table style states itself (`style` is its w:style element), without its
// basedOn chain.
TableFormat ReadTableStyleFormat(pugi::xml_node style, const DocxFonts& fonts,
                                 const ThemeColors* theme);

// A table's own properties (`tblPr`, or a row's exceptions to them in w:tblPrEx) as a layer
// over its style's whole-table formatting: borders, shading, cell margins, alignment, bands.
TableFormat ReadTableProperties(pugi::xml_node tblPr, const ThemeColors* theme);

// Which conditional formats a table takes: from the attributes of its w:tblLook, or the bits
// of its hexadecimal value; without one, only the bands.
struct TableLook {
    bool FirstRow = false, LastRow = false, FirstColumn = false, LastColumn = false;
    bool RowBands = true, ColumnBands = true;
};
TableLook ReadTableLook(pugi::xml_node tblLook);

}  // namespace quirebook
