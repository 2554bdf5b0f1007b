// Every picture of the corpus's Word documents and Word pages reaches the book at the size Word
// shows it: Word's width, read from the document's parts (a drawing's extent, a grouped
// picture's own extent scaled by its groups, a VML shape's style) or from the page (the VML
// shape a fallback image names, the image's style or its pixels), as a share of the width it
// stands in (its table cell's, in a table wider than the text shown as wide as it; else its
// section's text width; capped at 100 %), against the share the book's image style gives it,
// within 5 %. Prints the figures document by document.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <optional>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "BookPictureShares.h"
#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "html/Charset.h"
#include "html/GumboPage.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"
#include "word/docx/DocxPackage.h"
#include "word/docx/WordXml.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

constexpr double kEmuPerPoint = 12700;

// A picture as Word shows it: its width and the width it stands in, in points; a width of 0 for
// a picture Word's source gives no size.
struct WordPicture {
    double Width = 0;
    double Container = 0;
    // The share of its container the book should give it in percent; -1 for none.
    double Share() const { return Width > 0 ? std::min(100.0, Width / Container * 100) : -1; }
};

// A CSS length with an absolute unit (or a bare number of pixels) in points.
std::optional<double> Points(std::string text) {
    text = AsciiLower(TrimBlanks(text));
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return std::nullopt;
    const std::string unit(end);
    if (unit == "pt") return number;
    if (unit == "in") return number * 72;
    if (unit == "cm") return number * 72 / 2.54;
    if (unit == "mm") return number * 72 / 25.4;
    if (unit == "px" || unit.empty()) return number * 0.75;
    return std::nullopt;
}

// The value of `property` in the declarations `style`.
std::string StyleValue(const std::string& style, const std::string& property) {
    Regex value(preCaseLess | preSingleLine);
    value.SetPattern("(?:^|[;\\s])" + property + "\\s*:\\s*([^;]+)");
    value.SetSubject(style);
    return value.MatchNext() ? value.Submatch(1) : std::string();
}

// ---- Word documents -------------------------------------------------------------------------

// True for the bytes of a PNG, JPEG or GIF picture, or an SVG part: what a book carries.
bool BookPicture(const std::string& part, const std::string& bytes) {
    return bytes.starts_with("\x89PNG") || bytes.starts_with("\xFF\xD8") ||
           bytes.starts_with("GIF8") || part.ends_with(".svg");
}

// The pictures of a document's body in the order its page shows them: a text box's after the
// paragraph that holds it.
class DocumentPictures {
  public:
    explicit DocumentPictures(const fs::path& path) : m_package(path.string()) {
        m_package.ReadXml(m_package.MainDocumentPart(), m_document);
        m_relationships = m_package.Relationships(m_package.MainDocumentPart());
        const pugi::xml_node body = m_document.document_element().child("w:body");
        for (const pugi::xpath_node section : body.select_nodes(".//w:p/w:pPr/w:sectPr"))
            m_sections.push_back(TextWidth(section.node()));
        m_sections.push_back(TextWidth(body.child("w:sectPr")));
        Blocks(body, std::nullopt);
    }
    const std::vector<WordPicture>& Pictures() const { return m_pictures; }

  private:
    static double Twips(pugi::xml_node node, const char* name, double fallback) {
        const pugi::xml_attribute attribute = node.attribute(name);
        return attribute ? attribute.as_double() / 20 : fallback / 20;
    }
    static double TextWidth(pugi::xml_node sectPr) {
        const pugi::xml_node margins = sectPr.child("w:pgMar");
        return Twips(sectPr.child("w:pgSz"), "w:w", 12240) - Twips(margins, "w:left", 1440) -
               Twips(margins, "w:right", 1440);
    }

    void Blocks(pugi::xml_node container, std::optional<double> cell) {
        for (const pugi::xml_node child : container.children()) {
            const std::string_view name = child.name();
            if (name == "w:p") {
                Paragraph(child, cell);
                if (child.child("w:pPr").child("w:sectPr") && m_textBoxes == 0 &&
                    m_section + 1 < m_sections.size())
                    ++m_section;
            } else if (name == "w:tbl") {
                Table(child, cell.value_or(m_sections[m_section]));
            } else if (name == "w:sdt") {
                Blocks(child.child("w:sdtContent"), cell);
            } else if (name == "w:customXml" || name == "w:ins" || name == "w:moveTo") {
                Blocks(child, cell);
            } else if (name == "mc:AlternateContent") {
                Blocks(ChosenAlternative(child), cell);
            }
        }
    }

    // A table standing in `outer` points: a table wider than that is shown as wide as it, its
    // cells narrower in proportion.
    void Table(pugi::xml_node table, double outer) {
        std::vector<double> grid;
        for (const pugi::xml_node column : table.child("w:tblGrid").children("w:gridCol"))
            grid.push_back(Twips(column, "w:w", 0));
        const double gridWidth = std::accumulate(grid.begin(), grid.end(), 0.0);
        const double scale = gridWidth > outer ? outer / gridWidth : 1;
        for (const pugi::xml_node row : table.children("w:tr")) {
            std::size_t column = 0;
            for (const pugi::xml_node cell : row.children("w:tc")) {
                const pugi::xml_node properties = cell.child("w:tcPr");
                const std::size_t span =
                    std::max(1, properties.child("w:gridSpan").attribute("w:val").as_int(1));
                const pugi::xml_node width = properties.child("w:tcW");
                const std::string type = width.attribute("w:type").value();
                double points = 0;
                if (width && (type.empty() || type == "dxa")) {
                    points = Twips(width, "w:w", 0);
                } else {
                    for (std::size_t i = column; i < column + span && i < grid.size(); ++i)
                        points += grid[i];
                }
                column += span;
                Blocks(cell, points > 0 ? std::optional<double>(points * scale) : std::nullopt);
            }
        }
    }

    void Paragraph(pugi::xml_node paragraph, std::optional<double> cell) {
        std::vector<pugi::xml_node> textBoxes;
        std::vector<pugi::xml_node> pending;
        for (pugi::xml_node child = paragraph.last_child(); child; child = child.previous_sibling())
            pending.push_back(child);
        while (!pending.empty()) {
            const pugi::xml_node node = pending.back();
            pending.pop_back();
            const std::string_view name = node.name();
            if (name == "w:del" || name == "w:moveFrom" || name == "w:instrText") continue;
            if (name == "w:txbxContent") {
                textBoxes.push_back(node);
                continue;
            }
            if (name == "a:blip" || name == "v:imagedata") Picture(node, cell);
            const pugi::xml_node children =
                name == "mc:AlternateContent" ? ChosenAlternative(node) : node;
            for (pugi::xml_node child = children.last_child(); child;
                 child = child.previous_sibling())
                pending.push_back(child);
        }
        ++m_textBoxes;
        for (const pugi::xml_node textBox : textBoxes) Blocks(textBox, cell);
        --m_textBoxes;
    }

    void Picture(pugi::xml_node node, std::optional<double> cell) {
        const bool drawing = std::string_view(node.name()) == "a:blip";
        const auto found =
            m_relationships.find(node.attribute(drawing ? "r:embed" : "r:id").value());
        if (found == m_relationships.end() || found->second.External ||
            !BookPicture(found->second.Target, m_package.Read(found->second.Target)))
            return;
        WordPicture picture;
        picture.Width =
            drawing
                ? DrawingWidth(node)
                : Points(StyleValue(node.parent().attribute("style").value(), "width")).value_or(0);
        picture.Container = cell.value_or(m_sections[m_section]);
        m_pictures.push_back(picture);
    }

    // The drawing's extent; inside groups the picture's own, scaled by each group.
    static double DrawingWidth(pugi::xml_node blip) {
        double width = 0;
        bool grouped = false;
        for (pugi::xml_node node = blip.parent(); node; node = node.parent()) {
            const std::string_view name = node.name();
            if (name == "pic:pic") {
                width =
                    node.select_node("pic:spPr/a:xfrm/a:ext").node().attribute("cx").as_double();
            } else if (name == "wpg:wgp" || name == "wpg:grpSp") {
                grouped = true;
                const pugi::xml_node transform = node.child("wpg:grpSpPr").child("a:xfrm");
                const double children = transform.child("a:chExt").attribute("cx").as_double();
                if (children > 0)
                    width *= transform.child("a:ext").attribute("cx").as_double() / children;
            } else if (name == "wp:inline" || name == "wp:anchor") {
                if (!grouped) width = node.child("wp:extent").attribute("cx").as_double();
                break;
            }
        }
        return width / kEmuPerPoint;
    }

    DocxPackage m_package;
    pugi::xml_document m_document;
    std::map<std::string, DocxRelationship> m_relationships;
    std::vector<double> m_sections;
    std::size_t m_section = 0;
    int m_textBoxes = 0;
    std::vector<WordPicture> m_pictures;
};

// ---- Word pages ---------------------------------------------------------------------------

// The pictures a Word page shows, in order: its images (outside Word's conditional comments)
// whose file is there, and the pictures of VML shapes without a fallback image.
class PagePictures {
  public:
    explicit PagePictures(const fs::path& page) : m_folder(page.parent_path()) {
        const std::string text = PageToUtf8(LoadTextFile(page.string()));
        Regex rules(preCaseLess);
        rules.SetPattern("@page\\s+(\\w+)\\s*\\{([^}]*)\\}");
        rules.SetSubject(text);
        while (rules.MatchNext()) {
            const std::string rule = rules.Submatch(2);
            std::vector<std::string> margins;
            Regex words;
            words.SetPattern("\\S+");
            words.SetSubject(StyleValue(rule, "margin"));
            while (words.MatchNext()) margins.push_back(words.MatchedText());
            words.SetSubject(StyleValue(rule, "size"));
            const double width =
                words.MatchNext() ? Points(words.MatchedText()).value_or(612) : 612;
            const double right = margins.size() > 1 ? Points(margins[1]).value_or(72) : 72;
            const double left = margins.size() > 3 ? Points(margins[3]).value_or(72) : right;
            m_sections[rules.Submatch(1)] = width - left - right;
        }
        Regex shapes(preCaseLess);
        shapes.SetPattern("<v:(?:shape|group)\\b[^>]*>");
        shapes.SetSubject(text);
        Regex id(preCaseLess);
        id.SetPattern("\\sid=\"([^\"]+)\"");
        Regex style(preCaseLess | preSingleLine);
        style.SetPattern("\\sstyle='([^']*)'");
        while (shapes.MatchNext()) {
            id.SetSubject(shapes.MatchedText());
            style.SetSubject(shapes.MatchedText());
            if (id.MatchNext() && style.MatchNext())
                if (const auto width = Points(StyleValue(style.Submatch(1), "width")))
                    m_shapes[id.Submatch(1)] = *width;
        }
        const GumboDocument parse(text);
        Walk(parse.Body(), 468, std::nullopt, std::nullopt);
    }
    const std::vector<WordPicture>& Pictures() const { return m_pictures; }

  private:
    static std::string Attribute(const GumboElement& element, const char* name) {
        return std::string(AttributeOf(element, name).value_or(""));
    }

    void Walk(const GumboNode& node, double section, std::optional<double> cell,
              std::optional<double> shape) {
        if (!IsElement(node)) return;
        const GumboElement& element = node.v.element;
        const std::string tag = TagName(element);
        if (tag == "div") {
            Regex words;
            words.SetPattern("\\S+");
            words.SetSubject(Attribute(element, "class"));
            while (words.MatchNext())
                if (const auto found = m_sections.find(words.MatchedText());
                    found != m_sections.end())
                    section = found->second;
        } else if (tag == "td" || tag == "th") {
            // A cell without a width stands in the width around its table (Word's text boxes
            // are tables filling a sized cell).
            std::optional<double> width = Points(StyleValue(Attribute(element, "style"), "width"));
            if (!width) width = Points(Attribute(element, "width"));
            if (width) cell = width;
        } else if (tag == "v:shape") {
            shape = Points(StyleValue(Attribute(element, "style"), "width"));
            bool holdsImage = false;
            for (unsigned i = 0; i < element.children.length; ++i)
                holdsImage |= IsElement(ChildAt(element, i)) &&
                              TagName(ChildAt(element, i).v.element) == "img";
            for (unsigned i = 0; i < element.children.length && !holdsImage; ++i) {
                const GumboNode& child = ChildAt(element, i);
                if (IsElement(child) && TagName(child.v.element) == "v:imagedata")
                    Add(Attribute(child.v.element, "src"), shape.value_or(0), section, cell);
            }
        } else if (tag == "img") {
            std::optional<double> width;
            if (const auto found = m_shapes.find(Attribute(element, "v:shapes"));
                found != m_shapes.end())
                width = found->second;
            if (!width) width = Points(StyleValue(Attribute(element, "style"), "width"));
            if (!width) width = Points(Attribute(element, "width"));
            if (!width) width = shape;
            Add(Attribute(element, "src"), width.value_or(0), section, cell);
        }
        for (unsigned i = 0; i < element.children.length; ++i)
            Walk(ChildAt(element, i), section, cell, shape);
    }

    void Add(const std::string& source, double width, double section, std::optional<double> cell) {
        if (!fs::is_regular_file(m_folder / PercentDecode(source))) return;
        m_pictures.push_back({width, cell.value_or(section)});
    }

    fs::path m_folder;
    std::map<std::string, double> m_sections;
    std::map<std::string, double> m_shapes;
    std::vector<WordPicture> m_pictures;
};

// ---- The comparison -------------------------------------------------------------------------

struct Tally {
    int Pictures = 0;
    int Within = 0;
    std::vector<std::string> Misses;
};

// Makes the book of a Word document or page and compares its pictures with Word's.
Tally MakeAndCompare(const fs::path& input, bool document, const std::vector<WordPicture>& word) {
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.OutputFolder = temp / "out/";
    BookForm form;
    testing::RecordingUserInterface ui;
    bool imported = false;
    if (document) {
        WordConnection connection(ProgramWordFactory(book));
        imported = OpenWordDocument(book, form, ui, connection, input.string());
    } else {
        imported = ImportWordHtml(book, form, ui, input.string());
    }
    Tally tally;
    tally.Pictures = static_cast<int>(word.size());
    if (!imported || !PublishBook(book, form, ui)) {
        tally.Misses.push_back("no book");
        return tally;
    }
    std::vector<double> shares;
    for (const std::string& chapter : testing::SpineDocuments(book.OutputPath))
        for (const double share : testing::ImageWidthShares(chapter)) shares.push_back(share);
    if (shares.size() != word.size()) {
        tally.Misses.push_back("the book has " + std::to_string(shares.size()) + " pictures");
        return tally;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const double expected = word[i].Share();
        if (expected < 0 ? shares[i] < 0 : std::abs(shares[i] - expected) <= expected * 0.05)
            ++tally.Within;
        else
            tally.Misses.push_back("picture " + std::to_string(i + 1) + ": " +
                                   std::to_string(shares[i]) + " % for Word's " +
                                   std::to_string(expected) + " %");
    }
    return tally;
}

void Report(const fs::path& input, const Tally& tally, Tally& all) {
    std::printf("[ figures  ] %s: %d pictures, %d within 5 %% of Word's size\n",
                (input.parent_path().filename() / input.filename()).c_str(), tally.Pictures,
                tally.Within);
    std::string misses;
    for (const std::string& miss : tally.Misses) misses += "\n    " + miss;
    EXPECT_EQ(tally.Within, tally.Pictures) << input << misses;
    all.Pictures += tally.Pictures;
    all.Within += tally.Within;
}

std::vector<fs::path> Files(const fs::path& folder, const std::vector<std::string>& extensions) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && std::find(extensions.begin(), extensions.end(),
                                                 entry.path().extension()) != extensions.end())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(CorpusPictureSizes, EveryWordDocumentsPicturesHaveWordsSize) {
    const std::string corpus = testing::CorpusPath("docx");
    if (corpus.empty()) GTEST_SKIP() << "the corpus is not there";
    Tally all;
    int documents = 0;
    for (const fs::path& path : Files(corpus, {".docx"})) {
        std::vector<WordPicture> word;
        try {
            word = DocumentPictures(path).Pictures();
        } catch (const WordDocumentError&) {
            continue;  // a document the program refuses has no pictures to size
        }
        if (word.empty()) continue;
        ++documents;
        Report(path, MakeAndCompare(path, true, word), all);
    }
    std::printf("[ figures  ] all %d documents with pictures: %d pictures, %d within 5 %%\n",
                documents, all.Pictures, all.Within);
    EXPECT_GT(documents, 0);
}

TEST(CorpusPictureSizes, EveryWordPagesPicturesHaveWordsSize) {
    const std::string corpus = testing::CorpusPath("wordhtml/utf8");
    if (corpus.empty()) GTEST_SKIP() << "the corpus is not there";
    Tally all;
    int pages = 0;
    for (const fs::path& path : Files(corpus, {".htm", ".html"})) {
        if (path.parent_path().parent_path() != fs::path(corpus)) continue;  // picture folders
        const std::vector<WordPicture> word = PagePictures(path).Pictures();
        if (word.empty()) continue;
        ++pages;
        Report(path, MakeAndCompare(path, false, word), all);
    }
    std::printf("[ figures  ] all %d pages with pictures: %d pictures, %d within 5 %%\n", pages,
                all.Pictures, all.Within);
    EXPECT_GT(pages, 0);
}

}  // namespace
}  // namespace quirebook
