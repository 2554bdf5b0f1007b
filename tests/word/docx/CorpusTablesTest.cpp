// Every Word document of the corpus made into a book and its tables looked at beside the
// document's own: how many there are, how many keep their width, and how many of those whose
// table style or own formatting draws borders or shading keep them in the book.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "text/TextFiles.h"
#include "word/WordConnection.h"
#include "word/docx/DocxPackage.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// What a table of the document should show in the book.
struct DocumentTable {
    bool Width = false;  // it has a width of its own or a grid
    bool Looks = false;  // its style or its own formatting draws borders or shading
};

bool Named(pugi::xml_node node, const char* name) {
    return std::string(node.name()) == name;
}

std::string Value(pugi::xml_node node, const char* attribute = "w:val") {
    return node.attribute(attribute).value();
}

// Whether `node` holds a border that draws or a shading that fills.
bool Draws(pugi::xml_node node) {
    std::vector<pugi::xml_node> pending = {node};
    while (!pending.empty()) {
        const pugi::xml_node element = pending.back();
        pending.pop_back();
        const std::string parent = element.parent().name();
        const std::string value = Value(element);
        if ((parent == "w:tblBorders" || parent == "w:tcBorders") && !value.empty() &&
            value != "none" && value != "nil")
            return true;
        const std::string fill = Value(element, "w:fill");
        if (Named(element, "w:shd") &&
            ((!fill.empty() && fill != "auto") || !Value(element, "w:themeFill").empty() ||
             (value != "clear" && value != "nil")))
            return true;
        for (const pugi::xml_node child : element.children())
            if (child.type() == pugi::node_element) pending.push_back(child);
    }
    return false;
}

// Whether a cell's own properties switch off every side of it (and fill nothing): what its
// table or style would draw there is not shown.
bool SwitchesAllOff(pugi::xml_node tcPr) {
    const pugi::xml_node borders = tcPr.child("w:tcBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right"}) {
        const std::string value = Value(borders.child(side));
        if (value != "nil" && value != "none") return false;
    }
    return !Draws(tcPr);
}

// The conditional formats a table's w:tblLook switches on (bands unless switched off).
std::set<std::string> SwitchedOn(pugi::xml_node look) {
    std::set<std::string> on = {"wholeTable", "band1Horz", "band2Horz", "band1Vert", "band2Vert"};
    if (!look) return on;
    const bool named = look.attribute("w:firstRow") || look.attribute("w:noHBand");
    const unsigned bits = static_cast<unsigned>(std::strtoul(Value(look).c_str(), nullptr, 16));
    const auto flag = [&](const char* name, unsigned bit) {
        const std::string value = Value(look, name);
        return named ? value == "1" || value == "true" || value == "on" : (bits & bit) != 0;
    };
    if (flag("w:firstRow", 0x20)) on.insert({"firstRow", "nwCell", "neCell"});
    if (flag("w:lastRow", 0x40)) on.insert({"lastRow", "swCell", "seCell"});
    if (flag("w:firstColumn", 0x80)) on.insert("firstCol");
    if (flag("w:lastColumn", 0x100)) on.insert("lastCol");
    if (flag("w:noHBand", 0x200)) {
        on.erase("band1Horz");
        on.erase("band2Horz");
    }
    if (flag("w:noVBand", 0x400)) {
        on.erase("band1Vert");
        on.erase("band2Vert");
    }
    return on;
}

bool StyleDraws(pugi::xml_node styles, std::string id, const std::set<std::string>& on) {
    for (int step = 0; step < 16 && !id.empty(); ++step) {
        const pugi::xml_node style =
            styles.find_child_by_attribute("w:style", "w:styleId", id.c_str());
        if (!style) break;
        if (Draws(style.child("w:tblPr")) || Draws(style.child("w:tcPr"))) return true;
        for (const pugi::xml_node part : style.children("w:tblStylePr"))
            if (on.count(Value(part, "w:type")) != 0 && Draws(part)) return true;
        id = Value(style.child("w:basedOn"));
    }
    return false;
}

std::vector<DocumentTable> TablesOfDocument(const fs::path& path) {
    const DocxPackage package(path.string());
    pugi::xml_document document, styles;
    package.ReadXml(package.MainDocumentPart(), document);
    for (const auto& [id, relationship] : package.Relationships(package.MainDocumentPart()))
        if (relationship.Type == "styles") package.ReadXml(relationship.Target, styles);
    const pugi::xml_node styleRoot = styles.document_element();
    std::string defaultTable;
    for (const pugi::xml_node style : styleRoot.children("w:style"))
        if (Value(style, "w:type") == "table" && Value(style, "w:default") == "1")
            defaultTable = Value(style, "w:styleId");

    std::vector<DocumentTable> tables;
    std::vector<pugi::xml_node> pending = {document.document_element().child("w:body")};
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        if (Named(node, "w:del") || Named(node, "w:moveFrom") || Named(node, "mc:Fallback"))
            continue;
        if (Named(node, "w:tbl")) {
            const pugi::xml_node properties = node.child("w:tblPr");
            DocumentTable table;
            const pugi::xml_node width = properties.child("w:tblW");
            long grid = 0;
            for (const pugi::xml_node column : node.child("w:tblGrid").children("w:gridCol"))
                grid += std::atol(Value(column, "w:w").c_str());
            table.Width =
                grid > 0 || ((Value(width, "w:type") == "dxa" || Value(width, "w:type") == "pct") &&
                             std::atol(Value(width, "w:w").c_str()) > 0);
            const pugi::xml_node styleName = properties.child("w:tblStyle");
            bool cellsShowTable = false;
            for (const pugi::xml_node row : node.children("w:tr")) {
                for (const pugi::xml_node cell : row.children("w:tc")) {
                    if (Draws(cell.child("w:tcPr"))) table.Looks = true;
                    if (!SwitchesAllOff(cell.child("w:tcPr"))) cellsShowTable = true;
                }
            }
            if (cellsShowTable &&
                (Draws(properties) ||
                 StyleDraws(styleRoot, styleName ? Value(styleName) : defaultTable,
                            SwitchedOn(properties.child("w:tblLook")))))
                table.Looks = true;
            tables.push_back(table);
        }
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling())
            if (child.type() == pugi::node_element) pending.push_back(child);
    }
    return tables;
}

// A table of the book: whether its class gives it a width in percent, and whether one of its
// cells' classes draws a border or fills a background.
struct BookTable {
    bool Width = false;
    bool Looks = false;
};

std::string ClassRule(const std::string& sheet, const std::string& name) {
    const std::size_t start = sheet.find("." + name + "{");
    if (start == std::string::npos) return {};
    return sheet.substr(start, sheet.find('}', start) - start);
}

std::vector<BookTable> TablesOfBook(const BookProject& book) {
    const std::string sheet = LoadTextFile(book.OpsFolder + "style.css");
    const std::regex cellClass("<td[^>]*class=\"([^\"]+)\"");
    const std::regex shown(
        "(border(-top|-left|-bottom|-right)?:(solid|double|dotted|dashed|"
        "ridge|groove|inset|outset))|background:");
    const std::regex width("width:[0-9.]+%");
    std::vector<BookTable> tables;
    for (const std::string& name : book.ChapterFiles) {
        const std::string page = LoadTextFile(book.OpsFolder + name);
        for (std::size_t at = page.find("<table"); at != std::string::npos;
             at = page.find("<table", at + 1)) {
            BookTable table;
            const std::size_t tagEnd = page.find('>', at);
            const std::string tag = page.substr(at, tagEnd - at);
            const std::size_t className = tag.find("class=\"");
            if (className != std::string::npos) {
                const std::string rule = ClassRule(
                    sheet, tag.substr(className + 7, tag.find('"', className + 7) - className - 7));
                table.Width = std::regex_search(rule, width);
            }
            // Its own cells: up to the next table, nested or following, or its end.
            const std::size_t end =
                std::min(page.find("<table", tagEnd), page.find("</table>", tagEnd));
            const std::string cells = page.substr(tagEnd, end - tagEnd);
            for (auto it = std::sregex_iterator(cells.begin(), cells.end(), cellClass);
                 it != std::sregex_iterator() && !table.Looks; ++it)
                table.Looks = std::regex_search(ClassRule(sheet, (*it)[1].str()), shown);
            tables.push_back(table);
        }
    }
    return tables;
}

struct Tally {
    int Tables = 0, InBook = 0, WithWidth = 0, WidthKept = 0, Styled = 0, LooksKept = 0;
};

TEST(CorpusTables, KeepTheirWidthsAndTheLooksOfTheirStyles) {
    const std::string corpus = testing::CorpusPath("docx");
    if (corpus.empty()) GTEST_SKIP() << "the corpus is not there";
    Tally all;
    int documents = 0;
    for (const char* set : {"/word", "/books", "/pandoc-written", "/poi"}) {
        std::vector<fs::path> paths;
        for (const auto& entry : fs::directory_iterator(corpus + set))
            if (entry.path().extension() == ".docx") paths.push_back(entry.path());
        std::sort(paths.begin(), paths.end());
        for (const fs::path& path : paths) {
            std::vector<DocumentTable> expected;
            try {
                expected = TablesOfDocument(path);
            } catch (const WordDocumentError&) {
                continue;  // refused by the program too: damaged or encrypted
            }
            if (expected.empty()) continue;
            TempFolder temp;
            BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
            book.OutputFolder = temp / "out/";
            BookForm form;
            testing::RecordingUserInterface ui;
            WordConnection word(ProgramWordFactory(book));
            ASSERT_TRUE(OpenWordDocument(book, form, ui, word, path.string())) << path;
            ASSERT_TRUE(PublishBook(book, form, ui)) << path << book.BuildLog;
            const std::vector<BookTable> shown = TablesOfBook(book);
            ++documents;
            Tally tally;
            tally.Tables = static_cast<int>(expected.size());
            tally.InBook = static_cast<int>(shown.size());
            // Tables of notes follow the body's in the book; the body's are matched in order.
            for (std::size_t i = 0; i < std::min(expected.size(), shown.size()); ++i) {
                tally.WithWidth += expected[i].Width;
                tally.WidthKept += expected[i].Width && shown[i].Width;
                tally.Styled += expected[i].Looks;
                tally.LooksKept += expected[i].Looks && shown[i].Looks;
            }
            std::printf(
                "[ figures  ] %s: tables %d, in the book %d; with a width %d, kept %d; "
                "with borders or shading %d, kept %d\n",
                path.filename().c_str(), tally.Tables, tally.InBook, tally.WithWidth,
                tally.WidthKept, tally.Styled, tally.LooksKept);
            EXPECT_GE(tally.InBook, tally.Tables) << path.filename();
            EXPECT_EQ(tally.WidthKept, tally.WithWidth) << path.filename();
            EXPECT_EQ(tally.LooksKept, tally.Styled) << path.filename();
            all.Tables += tally.Tables;
            all.InBook += tally.InBook;
            all.WithWidth += tally.WithWidth;
            all.WidthKept += tally.WidthKept;
            all.Styled += tally.Styled;
            all.LooksKept += tally.LooksKept;
        }
    }
    std::printf(
        "[ figures  ] all %d documents with tables: tables %d, in the book %d; with a "
        "width %d, kept %d; with borders or shading %d, kept %d\n",
        documents, all.Tables, all.InBook, all.WithWidth, all.WidthKept, all.Styled, all.LooksKept);
    EXPECT_GT(documents, 0);
}

}  // namespace
}  // namespace quirebook
