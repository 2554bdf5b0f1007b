#include "word/docx/TableWriter.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <vector>

#include "word/docx/TableCellLooks.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordUnits.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Grid columns a table may claim; more are an attack on the column arithmetic.
constexpr long kWidestGrid = 1000;

struct Cell {
    pugi::xml_node Node;
    long Column = 0;  // first grid column
    long Span = 1;
    bool Continues = false;  // vertically merged into the cell above
    long RowSpan = 1;
};

struct Row {
    pugi::xml_node Node;
    std::vector<Cell> Cells;
};

// The elements named `name` among the children of `node`, looking through the wrappers Word
// puts around rows and cells (content controls, custom XML, tracked insertions); deletions are
// left out.
void CollectThroughWrappers(pugi::xml_node node, const char* name,
                            std::vector<pugi::xml_node>& found) {
    std::vector<pugi::xml_node> pending;
    for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling())
        pending.push_back(child);
    while (!pending.empty()) {
        const pugi::xml_node current = pending.back();
        pending.pop_back();
        if (IsElement(current, name)) {
            found.push_back(current);
            continue;
        }
        pugi::xml_node inner;
        if (IsElement(current, "w:sdt"))
            inner = current.child("w:sdtContent");
        else if (IsElement(current, "w:customXml") || IsElement(current, "w:ins") ||
                 IsElement(current, "w:moveTo"))
            inner = current;
        for (pugi::xml_node child = inner.last_child(); child; child = child.previous_sibling())
            pending.push_back(child);
    }
}

std::vector<Row> ReadRows(pugi::xml_node table) {
    std::vector<pugi::xml_node> rows;
    CollectThroughWrappers(table, "w:tr", rows);
    std::vector<Row> grid;
    for (const pugi::xml_node row : rows) {
        std::vector<pugi::xml_node> cells;
        CollectThroughWrappers(row, "w:tc", cells);
        long column =
            std::clamp(NumberAttribute(row.child("w:trPr").child("w:gridBefore"), "w:val", 0), 0L,
                       kWidestGrid);
        std::vector<Cell> written;
        for (const pugi::xml_node node : cells) {
            const pugi::xml_node properties = node.child("w:tcPr");
            Cell cell;
            cell.Node = node;
            cell.Column = column;
            cell.Span = std::clamp(NumberAttribute(properties.child("w:gridSpan"), "w:val", 1), 1L,
                                   kWidestGrid);
            const pugi::xml_node merge = properties.child("w:vMerge");
            cell.Continues = merge && AttributeText(merge) != "restart";
            column = std::min(column + cell.Span, kWidestGrid * 2);
            written.push_back(cell);
        }
        grid.push_back({row, std::move(written)});
    }
    // A cell that starts a vertical merge spans the rows below whose cell at its column
    // continues it; a continuation with nothing above to continue stands as a cell of its own.
    struct Owner {
        Cell* Start;
        std::size_t Row;
    };
    std::unordered_map<long, Owner> owners;
    for (std::size_t row = 0; row < grid.size(); ++row) {
        for (Cell& cell : grid[row].Cells) {
            const auto owner = owners.find(cell.Column);
            if (cell.Continues && owner != owners.end() && owner->second.Row + 1 == row) {
                ++owner->second.Start->RowSpan;
                owner->second.Row = row;
                continue;
            }
            cell.Continues = false;
            owners[cell.Column] = {&cell, row};
        }
    }
    return grid;
}

// The width of a cell in twentieths of a point: that of its grid columns (`gridEdges` holds
// where each column starts, and where the last ends), else its own when given in them.
long CellWidth(const Cell& cell, const std::vector<long>& gridEdges) {
    const long last = static_cast<long>(gridEdges.size()) - 1;
    const long first = std::min(cell.Column, last), end = std::min(cell.Column + cell.Span, last);
    if (const long grid = gridEdges[end] - gridEdges[first]; grid > 0)
        return std::min(grid, 31680L);
    const pugi::xml_node width = cell.Node.child("w:tcPr").child("w:tcW");
    const std::string_view type = AttributeText(width, "w:type");
    if (width && (type.empty() || type == "dxa"))
        return std::clamp(NumberAttribute(width, "w:w", 0), 0L, 31680L);
    return 0;
}

// A share of a width as CSS: "50.0%", never more than all of it.
std::string Percent(double share) {
    return WordNumber(std::min(share, 1.0) * 100) + '%';
}

// The share of the room for text `textWidth` a table takes: its own width in fiftieths of a
// percent ("pct", or a percentage given as "50%") or in twentieths of a point, else that of
// its grid; nothing when neither is known.
std::optional<double> TableShare(pugi::xml_node tblW, long gridWidth, long textWidth) {
    const std::string_view type = AttributeText(tblW, "w:type");
    const std::string_view value = AttributeText(tblW, "w:w");
    if (type == "pct") {
        if (value.ends_with('%')) {
            const double percent = std::atof(std::string(value).c_str());
            if (percent > 0) return percent / 100;
        } else if (const long fiftieths = NumberAttribute(tblW, "w:w", 0); fiftieths > 0) {
            return fiftieths / 5000.0;
        }
    } else if (type == "dxa" || (type.empty() && tblW)) {
        if (const long twips = NumberAttribute(tblW, "w:w", 0); twips > 0)
            return static_cast<double>(twips) / textWidth;
    }
    if (gridWidth > 0) return static_cast<double>(gridWidth) / textWidth;
    return std::nullopt;
}

std::string CellCss(const CellLook& look, long width, long tableWidth, bool rightToLeft) {
    std::string css;
    if (width > 0 && tableWidth > 0)
        css += "width:" + Percent(static_cast<double>(width) / tableWidth) + ';';
    // In a right-to-left table the cell's start is at its right.
    const std::string borders = rightToLeft
                                    ? EdgesCss(look.Top, look.Right, look.Bottom, look.Left)
                                    : EdgesCss(look.Top, look.Left, look.Bottom, look.Right);
    if (!borders.empty()) css += borders + ';';
    if (look.Fill && !look.Fill->empty()) css += "background:" + *look.Fill + ';';
    const CellMargins& margins = look.Margins;
    // Word's left margin is the cell's start, at the right in a right-to-left table.
    const long start = margins.Left.value_or(108), end = margins.Right.value_or(108);
    css += "padding:" + TwipsText(margins.Top.value_or(0)) + ' ' +
           TwipsAsPointsText(rightToLeft ? start : end) + ' ' +
           TwipsText(margins.Bottom.value_or(0)) + ' ' +
           TwipsAsPointsText(rightToLeft ? end : start);
    return css;
}

}  // namespace

void WriteTable(StoryWriter& story, pugi::xml_node table, int depth) {
    PageContext& context = story.Context();
    std::string& out = story.Out();
    const pugi::xml_node properties = table.child("w:tblPr");
    const pugi::xml_node styleName = properties.child("w:tblStyle");
    const DocxStyle* style = styleName
                                 ? context.Styles.Find(AttributeText(styleName), StyleKind::Table)
                                 : context.Styles.DefaultTable();
    TableFormat format = style != nullptr && style->Table ? *style->Table : TableFormat();
    format.Overlay(ReadTableProperties(properties, context.Theme));
    const TableLook look = ReadTableLook(properties.child("w:tblLook"));
    std::vector<long> gridEdges = {0};
    for (const pugi::xml_node column : table.child("w:tblGrid").children("w:gridCol")) {
        if (gridEdges.size() > static_cast<std::size_t>(kWidestGrid)) break;
        gridEdges.push_back(gridEdges.back() +
                            std::clamp(NumberAttribute(column, "w:w", 0), 0L, 31680L));
    }
    const std::vector<Row> rows = ReadRows(table);
    // Without a grid, the widest row gives the table's width.
    long tableWidth = gridEdges.back();
    if (tableWidth == 0) {
        for (const Row& row : rows) {
            long width = 0;
            for (const Cell& cell : row.Cells) width += CellWidth(cell, gridEdges);
            tableWidth = std::max(tableWidth, width);
        }
    }
    const long textWidth = story.TextWidth();
    const std::optional<double> share =
        TableShare(properties.child("w:tblW"), tableWidth, textWidth);

    out += "<table";
    AppendAttribute(
        out, "class",
        style != nullptr && !style->ClassName.empty() ? style->ClassName : "MsoNormalTable");
    // A right-to-left table sets its first column at the right.
    const bool rightToLeft = ToggleValue(properties.child("w:bidiVisual"));
    if (rightToLeft)
        out += " dir=rtl";
    else if (context.RightToLeftPage)
        out += " dir=ltr";  // a page that reads right to left would set its columns so
    const bool borders = format[TableRegion::WholeTable].TableBorders.Draws();
    out += borders ? " border=1" : " border=0";
    out += " cellspacing=0 cellpadding=0";
    // The table stands where its margins put it: an align attribute would reach its cells' text
    // once it became CSS.
    const std::string alignment = format.Alignment.value_or("left");
    out += "\n style='";
    if (share) out += "width:" + Percent(*share) + ';';
    if (alignment == "center") out += "margin-left:auto;margin-right:auto;";
    if (alignment == "right") out += "margin-left:auto;margin-right:0in;";
    out += "border-collapse:collapse";
    out += borders ? ";border:none'>\n" : "'>\n";
    // A nested table's share is of the cell that holds it.
    const double shownWidth = share ? *share * textWidth : static_cast<double>(tableWidth);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<Cell>& row = rows[r].Cells;
        // A row's exceptions to the table's properties lie over them for its cells.
        const pugi::xml_node exceptions = rows[r].Node.child("w:tblPrEx");
        TableFormat rowFormat;
        if (exceptions) {
            rowFormat = format;
            rowFormat.Overlay(ReadTableProperties(exceptions, context.Theme));
        }
        out += " <tr>\n";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const Cell& cell = row[c];
            if (cell.Continues) continue;
            const pugi::xml_node cellProperties = cell.Node.child("w:tcPr");
            const CellPlace place{r,
                                  r + static_cast<std::size_t>(cell.RowSpan) - 1,
                                  rows.size(),
                                  cell.Column,
                                  cell.Column + cell.Span - 1,
                                  c == 0,
                                  c + 1 == row.size()};
            const CellLook cellLook = LookOfCell(exceptions ? rowFormat : format, look, place,
                                                 cellProperties, context.Theme);
            out += "  <td";
            const long width = CellWidth(cell, gridEdges);
            if (width > 0) AppendAttribute(out, "width", std::to_string(TwipsToPixels(width)));
            if (cell.Span > 1) AppendAttribute(out, "colspan", std::to_string(cell.Span));
            if (cell.RowSpan > 1) AppendAttribute(out, "rowspan", std::to_string(cell.RowSpan));
            const std::string_view align = AttributeText(cellProperties.child("w:vAlign"));
            if (align.empty() || align == "top")
                out += " valign=top";
            else if (align == "bottom")
                out += " valign=bottom";
            out += " style='" + CellCss(cellLook, width, tableWidth, rightToLeft) + "'>\n";
            const long inner = tableWidth > 0 && width > 0
                                   ? static_cast<long>(shownWidth * width / tableWidth) -
                                         cellLook.Margins.Left.value_or(108) -
                                         cellLook.Margins.Right.value_or(108)
                                   : 0;
            const StoryWriter::SurroundingsScope scope(story,
                                                       {std::max(inner, 0L), &cellLook.Text});
            story.WriteBlocks(cell.Node, depth + 1);
            out += "  </td>\n";
        }
        out += " </tr>\n";
    }
    out += "</table>\n\n";
}

}  // namespace quirebook
