// Resolves the look of a table cell from the layers of its table's formatting.
#include "word/docx/TableCellLooks.h"

#include <vector>

#include "word/docx/WordShading.h"

namespace quirebook {

namespace {

// Which sides of a cell lie on the sides of a region: those take the region's outer borders,
// the others its borders between cells.
struct RegionSides {
    TableRegion Region;
    bool Top, Left, Bottom, Right;
};

// The band a row or column falls in, counted from `first`, `size` at a time: its first and
// last index, and whether it is an odd band (the first is).
struct Band {
    long First, Last;
    bool Odd;
};

Band BandOf(long index, long first, long size) {
    const long group = (index - first) / size;
    return {first + group * size, first + group * size + size - 1, group % 2 == 0};
}

std::vector<RegionSides> RegionsOf(const TableFormat& format, const TableLook& look,
                                   const CellPlace& place) {
    const long row = static_cast<long>(place.Row), lastRow = static_cast<long>(place.LastRow);
    const long rows = static_cast<long>(place.Rows);
    const bool inFirstRow = look.FirstRow && row == 0;
    const bool inLastRow = look.LastRow && lastRow == rows - 1 && rows > 1;
    const bool inFirstColumn = look.FirstColumn && place.FirstInRow;
    const bool inLastColumn = look.LastColumn && place.LastInRow && !place.FirstInRow;
    const bool top = row == 0, bottom = lastRow == rows - 1;

    std::vector<RegionSides> regions = {
        {TableRegion::WholeTable, top, place.FirstInRow, bottom, place.LastInRow}};
    // Banded columns leave out the first and last columns when those have formats of their own.
    if (look.ColumnBands && !inFirstColumn && !inLastColumn) {
        const long first = look.FirstColumn ? 1 : 0;
        if (place.Column >= first) {
            const Band band = BandOf(place.Column, first, format.ColumnBand.value_or(1));
            regions.push_back({band.Odd ? TableRegion::Band1Vert : TableRegion::Band2Vert, top,
                               place.Column <= band.First, bottom,
                               place.LastColumn >= band.Last || place.LastInRow});
        }
    }
    // Banded rows likewise leave out the header and the last row.
    if (look.RowBands && !inFirstRow && !inLastRow) {
        const long first = look.FirstRow ? 1 : 0;
        if (row >= first) {
            const Band band = BandOf(row, first, format.RowBand.value_or(1));
            regions.push_back({band.Odd ? TableRegion::Band1Horz : TableRegion::Band2Horz,
                               row <= band.First, place.FirstInRow, lastRow >= band.Last || bottom,
                               place.LastInRow});
        }
    }
    if (inFirstColumn) regions.push_back({TableRegion::FirstColumn, top, true, bottom, true});
    if (inLastColumn) regions.push_back({TableRegion::LastColumn, top, true, bottom, true});
    if (inFirstRow)
        regions.push_back({TableRegion::FirstRow, true, place.FirstInRow, true, place.LastInRow});
    if (inLastRow)
        regions.push_back({TableRegion::LastRow, true, place.FirstInRow, true, place.LastInRow});
    const auto corner = [&](bool applies, TableRegion region) {
        if (applies) regions.push_back({region, true, true, true, true});
    };
    corner(inFirstRow && look.LastColumn && place.LastInRow, TableRegion::TopRightCell);
    corner(inFirstRow && inFirstColumn, TableRegion::TopLeftCell);
    corner(inLastRow && look.LastColumn && place.LastInRow, TableRegion::BottomRightCell);
    corner(inLastRow && inFirstColumn, TableRegion::BottomLeftCell);
    return regions;
}

// Lays the borders `edges` of a region over the cell's sides.
void TakeSides(const BorderEdges& edges, const RegionSides& sides, CellLook& cell) {
    const auto take = [](std::optional<WordBorder>& into, bool outer,
                         const std::optional<WordBorder>& outside,
                         const std::optional<WordBorder>& inside) {
        const std::optional<WordBorder>& border = outer ? outside : inside;
        if (border) into = border;
    };
    take(cell.Top, sides.Top, edges.Top, edges.InsideH);
    take(cell.Left, sides.Left, edges.Left, edges.InsideV);
    take(cell.Bottom, sides.Bottom, edges.Bottom, edges.InsideH);
    take(cell.Right, sides.Right, edges.Right, edges.InsideV);
}

}  // namespace

CellLook LookOfCell(const TableFormat& format, const TableLook& look, const CellPlace& place,
                    pugi::xml_node tcPr, const ThemeColors* theme) {
    CellLook cell;
    const std::vector<RegionSides> regions = RegionsOf(format, look, place);
    // A table's own borders and shading lie beneath those its style gives cells.
    for (const RegionSides& sides : regions) {
        const TableLayer& layer = format[sides.Region];
        TakeSides(layer.TableBorders, sides, cell);
        if (layer.TableFill) cell.Fill = layer.TableFill;
    }
    for (const RegionSides& sides : regions) {
        const TableLayer& layer = format[sides.Region];
        TakeSides(layer.CellBorders, sides, cell);
        if (layer.CellFill) cell.Fill = layer.CellFill;
        cell.Margins.Overlay(layer.Margins);
        cell.Text.Paragraph.Overlay(layer.Paragraph);
        cell.Text.Run.Overlay(layer.Run);
    }
    // The cell's own borders are its sides, whatever stands beside it.
    TakeSides(ReadBorderEdges(tcPr.child("w:tcBorders"), theme),
              {TableRegion::WholeTable, true, true, true, true}, cell);
    if (std::optional<std::string> fill = ShadingColor(tcPr.child("w:shd"), theme))
        cell.Fill = fill;
    cell.Margins.Overlay(ReadCellMargins(tcPr.child("w:tcMar")));
    return cell;
}

}  // namespace quirebook
