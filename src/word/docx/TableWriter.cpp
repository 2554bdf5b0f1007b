#include "word/docx/TableWriter.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>
#include <vector>

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

std::vector<std::vector<Cell>> ReadRows(pugi::xml_node table) {
    std::vector<pugi::xml_node> rows;
    CollectThroughWrappers(table, "w:tr", rows);
    std::vector<std::vector<Cell>> grid;
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
        grid.push_back(std::move(written));
    }
    // A cell that starts a vertical merge spans the rows below whose cell at its column
    // continues it; a continuation with nothing above to continue stands as a cell of its own.
    struct Owner {
        Cell* Start;
        std::size_t Row;
    };
    std::unordered_map<long, Owner> owners;
    for (std::size_t row = 0; row < grid.size(); ++row) {
        for (Cell& cell : grid[row]) {
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

// The width of a cell in twentieths of a point: its own when given in them, else that of its
// grid columns (`gridEdges` holds where each column starts, and where the last ends).
long CellWidth(const Cell& cell, const std::vector<long>& gridEdges) {
    const pugi::xml_node width = cell.Node.child("w:tcPr").child("w:tcW");
    const std::string_view type = AttributeText(width, "w:type");
    if (width && (type.empty() || type == "dxa"))
        return std::clamp(NumberAttribute(width, "w:w", 0), 0L, 31680L);
    const long last = static_cast<long>(gridEdges.size()) - 1;
    const long first = std::min(cell.Column, last), end = std::min(cell.Column + cell.Span, last);
    return std::min(gridEdges[end] - gridEdges[first], 31680L);
}

// A cell's padding as CSS (top, right, bottom, left): each side's margin from the cell's
// w:tcMar, else the table's w:tblCellMar, else Word's (none above and below, 5.4 points at
// the sides). Word's left margin is the cell's start, at the right in a right-to-left table.
std::string CellPadding(pugi::xml_node tableMargins, pugi::xml_node cellMargins, bool rightToLeft) {
    const auto side = [&](std::initializer_list<const char*> names, long fallback) {
        for (const pugi::xml_node margins : {cellMargins, tableMargins}) {
            for (const char* name : names) {
                const pugi::xml_node margin = margins.child(name);
                const std::string_view type = AttributeText(margin, "w:type");
                if (margin && (type.empty() || type == "dxa"))
                    return TwipsAsPointsText(
                        std::clamp(NumberAttribute(margin, "w:w", 0), 0L, 31680L));
            }
        }
        return TwipsAsPointsText(fallback);
    };
    const std::string start = side({"w:left", "w:start"}, 108);
    const std::string end = side({"w:right", "w:end"}, 108);
    return side({"w:top"}, 0) + ' ' + (rightToLeft ? start : end) + ' ' + side({"w:bottom"}, 0) +
           ' ' + (rightToLeft ? end : start);
}

}  // namespace

void WriteTable(StoryWriter& story, pugi::xml_node table, int depth) {
    PageContext& context = story.Context();
    std::string& out = story.Out();
    const pugi::xml_node properties = table.child("w:tblPr");
    const DocxStyle* style =
        context.Styles.Find(AttributeText(properties.child("w:tblStyle")), StyleKind::Table);
    const bool borders = properties.child("w:tblBorders")
                             ? DrawsBorders(properties.child("w:tblBorders"))
                             : style != nullptr && style->TableBorders;
    std::vector<long> gridEdges = {0};
    for (const pugi::xml_node column : table.child("w:tblGrid").children("w:gridCol")) {
        if (gridEdges.size() > static_cast<std::size_t>(kWidestGrid)) break;
        gridEdges.push_back(gridEdges.back() +
                            std::clamp(NumberAttribute(column, "w:w", 0), 0L, 31680L));
    }

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
    out += borders ? " border=1" : " border=0";
    out += " cellspacing=0 cellpadding=0\n style='border-collapse:collapse";
    out += borders ? ";border:none'>\n" : "'>\n";
    for (const std::vector<Cell>& row : ReadRows(table)) {
        out += " <tr>\n";
        for (const Cell& cell : row) {
            if (cell.Continues) continue;
            const pugi::xml_node cellProperties = cell.Node.child("w:tcPr");
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
            std::string css;
            if (width > 0) css += "width:" + TwipsAsPointsText(width) + ';';
            if (borders) css += "border:solid windowtext 1.0pt;";
            const std::string fill =
                CssColor(AttributeText(cellProperties.child("w:shd"), "w:fill"));
            if (!fill.empty() && fill != "windowtext") css += "background:" + fill + ';';
            css += "padding:" + CellPadding(properties.child("w:tblCellMar"),
                                            cellProperties.child("w:tcMar"), rightToLeft);
            out += " style='" + css + "'>\n";
            story.WriteBlocks(cell.Node, depth + 1);
            out += "  </td>\n";
        }
        out += " </tr>\n";
    }
    out += "</table>\n\n";
}

}  // namespace quirebook
