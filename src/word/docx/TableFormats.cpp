// Reads the table formatting of table styles and tables.
#include "word/docx/TableFormats.h"

#include <algorithm>
#include <string_view>

#include "word/docx/WordShading.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

struct RegionName {
    std::string_view Type;  // w:tblStylePr's w:type
    TableRegion Region;
};

constexpr RegionName kRegionNames[] = {
    {"wholeTable", TableRegion::WholeTable}, {"band1Vert", TableRegion::Band1Vert},
    {"band2Vert", TableRegion::Band2Vert},   {"band1Horz", TableRegion::Band1Horz},
    {"band2Horz", TableRegion::Band2Horz},   {"firstCol", TableRegion::FirstColumn},
    {"lastCol", TableRegion::LastColumn},    {"firstRow", TableRegion::FirstRow},
    {"lastRow", TableRegion::LastRow},       {"neCell", TableRegion::TopRightCell},
    {"nwCell", TableRegion::TopLeftCell},    {"seCell", TableRegion::BottomRightCell},
    {"swCell", TableRegion::BottomLeftCell},
};

template <typename T>
void Take(std::optional<T>& into, const std::optional<T>& from) {
    if (from) into = from;
}

}  // namespace

CellMargins ReadCellMargins(pugi::xml_node margins) {
    CellMargins read;
    const auto side = [&](const char* name, const char* alternative) -> std::optional<long> {
        pugi::xml_node node = margins.child(name);
        if (!node) node = margins.child(alternative);
        const std::string_view type = AttributeText(node, "w:type");
        if (!node || !(type.empty() || type == "dxa")) return std::nullopt;
        return std::clamp(NumberAttribute(node, "w:w", 0), 0L, 31680L);
    };
    read.Top = side("w:top", "w:top");
    read.Left = side("w:left", "w:start");
    read.Bottom = side("w:bottom", "w:bottom");
    read.Right = side("w:right", "w:end");
    return read;
}

namespace {

std::optional<std::string> TableAlignment(pugi::xml_node jc) {
    const std::string_view value = AttributeText(jc);
    if (value == "center") return "center";
    if (value == "right" || value == "end") return "right";
    if (value == "left" || value == "start") return "left";
    return std::nullopt;
}

// The layer of a table style's part (the style itself or one of its w:tblStylePr): its
// paragraph and run formatting, and its table and cell properties.
TableLayer ReadLayer(pugi::xml_node part, const DocxFonts& fonts, const ThemeColors* theme) {
    TableLayer layer;
    ReadParagraphFormat(part.child("w:pPr"), layer.Paragraph);
    ReadRunFormat(part.child("w:rPr"), fonts, layer.Run);
    const pugi::xml_node table = part.child("w:tblPr");
    layer.TableBorders = ReadBorderEdges(table.child("w:tblBorders"), theme);
    layer.TableFill = ShadingColor(table.child("w:shd"), theme);
    layer.Margins = ReadCellMargins(table.child("w:tblCellMar"));
    const pugi::xml_node cell = part.child("w:tcPr");
    layer.CellBorders = ReadBorderEdges(cell.child("w:tcBorders"), theme);
    layer.CellFill = ShadingColor(cell.child("w:shd"), theme);
    return layer;
}

void ReadTableWide(pugi::xml_node tblPr, TableFormat& format) {
    format.Alignment = TableAlignment(tblPr.child("w:jc"));
    const auto band = [](pugi::xml_node size) -> std::optional<long> {
        if (!size) return std::nullopt;
        return std::clamp(NumberAttribute(size, "w:val", 1), 1L, 1000L);
    };
    format.RowBand = band(tblPr.child("w:tblStyleRowBandSize"));
    format.ColumnBand = band(tblPr.child("w:tblStyleColBandSize"));
}

bool LookBit(std::string_view hex, unsigned bit) {
    unsigned value = 0;
    for (const char c : hex) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0 || value > 0xFFFF) return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return (value & bit) != 0;
}

}  // namespace

void CellMargins::Overlay(const CellMargins& over) {
    Take(Top, over.Top);
    Take(Left, over.Left);
    Take(Bottom, over.Bottom);
    Take(Right, over.Right);
}

void TableLayer::Overlay(const TableLayer& over) {
    Paragraph.Overlay(over.Paragraph);
    Run.Overlay(over.Run);
    TableBorders.Overlay(over.TableBorders);
    CellBorders.Overlay(over.CellBorders);
    Take(TableFill, over.TableFill);
    Take(CellFill, over.CellFill);
    Margins.Overlay(over.Margins);
}

void TableFormat::Overlay(const TableFormat& over) {
    for (std::size_t i = 0; i < kTableRegions; ++i) Regions[i].Overlay(over.Regions[i]);
    Take(RowBand, over.RowBand);
    Take(ColumnBand, over.ColumnBand);
    Take(Alignment, over.Alignment);
}

TableFormat ReadTableStyleFormat(pugi::xml_node style, const DocxFonts& fonts,
                                 const ThemeColors* theme) {
    TableFormat format;
    format[TableRegion::WholeTable] = ReadLayer(style, fonts, theme);
    ReadTableWide(style.child("w:tblPr"), format);
    for (const pugi::xml_node part : style.children("w:tblStylePr")) {
        const std::string_view type = AttributeText(part, "w:type");
        for (const RegionName& name : kRegionNames)
            if (name.Type == type) format[name.Region].Overlay(ReadLayer(part, fonts, theme));
    }
    return format;
}

TableFormat ReadTableProperties(pugi::xml_node tblPr, const ThemeColors* theme) {
    TableFormat format;
    TableLayer& whole = format[TableRegion::WholeTable];
    whole.TableBorders = ReadBorderEdges(tblPr.child("w:tblBorders"), theme);
    whole.TableFill = ShadingColor(tblPr.child("w:shd"), theme);
    whole.Margins = ReadCellMargins(tblPr.child("w:tblCellMar"));
    ReadTableWide(tblPr, format);
    return format;
}

TableLook ReadTableLook(pugi::xml_node tblLook) {
    TableLook look;
    if (!tblLook) return look;
    const bool named = tblLook.attribute("w:firstRow") || tblLook.attribute("w:lastRow") ||
                       tblLook.attribute("w:firstColumn") || tblLook.attribute("w:lastColumn") ||
                       tblLook.attribute("w:noHBand") || tblLook.attribute("w:noVBand");
    const auto on = [&](const char* attribute, unsigned bit) {
        if (!named) return LookBit(AttributeText(tblLook), bit);
        const std::string_view value = AttributeText(tblLook, attribute);
        return value == "1" || value == "true" || value == "on";
    };
    look.FirstRow = on("w:firstRow", 0x20);
    look.LastRow = on("w:lastRow", 0x40);
    look.FirstColumn = on("w:firstColumn", 0x80);
    look.LastColumn = on("w:lastColumn", 0x100);
    look.RowBands = !on("w:noHBand", 0x200);
    look.ColumnBands = !on("w:noVBand", 0x400);
    return look;
}

}  // namespace quirebook
