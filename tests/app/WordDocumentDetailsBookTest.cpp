// Details of a Word document that must reach its book whole, EPUB 2 and 3: each note mark raised
// once, cross-references linked to their bookmarks, font names of several words, the lines of
// the description, and the contents entries linked to their headings without page numbers.
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "html/ConformBook.h"
#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"
#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::Relationship;
using testing::TempFolder;
using testing::TextRun;

std::string Styles() {
    const auto style = [](const char* type, const char* id, const char* name,
                          const std::string& run = "") {
        return std::string("<w:style w:type=\"") + type + "\" w:styleId=\"" + id +
               "\"><w:name w:val=\"" + name + "\"/>" +
               (run.empty() ? "" : "<w:rPr>" + run + "</w:rPr>") + "</w:style>";
    };
    const std::string raised = "<w:vertAlign w:val=\"superscript\"/>";
    return testing::StylesPart(
        style("paragraph", "Normal", "Normal") + style("paragraph", "Heading1", "heading 1") +
        style("paragraph", "TOC1", "toc 1") + style("paragraph", "FootnoteText", "footnote text") +
        style("paragraph", "EndnoteText", "endnote text") +
        style("character", "FootnoteReference", "footnote reference", raised) +
        style("character", "EndnoteReference", "endnote reference", raised) +
        style("paragraph", "Farsi", "Farsi",
              "<w:rFonts w:ascii=\"B Nazanin\" w:hAnsi=\"B Nazanin\" w:cs=\"B Nazanin\"/>"));
}

std::string Field(const std::string& instruction, const std::string& result) {
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
           "xml:space=\"preserve\">" +
           instruction + "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
           result + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

std::string Paragraph(const std::string& style, const std::string& content) {
    return "<w:p><w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>" + content + "</w:p>";
}

std::string Heading(const std::string& bookmark, const std::string& text) {
    return Paragraph("Heading1", "<w:bookmarkStart w:id=\"" + bookmark + "\" w:name=\"" + bookmark +
                                     "\"/>" + TextRun(text) + "<w:bookmarkEnd w:id=\"" + bookmark +
                                     "\"/>");
}

// Two sections: a table of contents (one entry made with hyperlinks, one without) and a
// cross-reference to a heading of the second section, which holds notes and Persian text.
std::string Body() {
    const std::string hidden = "<w:rPr><w:webHidden/></w:rPr>";
    return Paragraph("TOC1",
                     "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>"
                     " TOC \\o \"1-1\" \\h </w:instrText></w:r><w:r><w:fldChar "
                     "w:fldCharType=\"separate\"/></w:r><w:hyperlink w:anchor=\"_Toc1\">" +
                         TextRun("Introduction") + "<w:r>" + hidden + "<w:tab/></w:r>" +
                         Field(" PAGEREF _Toc1 \\h ", "<w:r>" + hidden + "<w:t>16</w:t></w:r>") +
                         "</w:hyperlink>") +
           Paragraph("TOC1", TextRun("Scope") + "<w:r><w:tab/></w:r>" +
                                 Field(" PAGEREF _Toc2 \\h ", TextRun("17"))) +
           "<w:p><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>" +
           "<w:p><w:pPr><w:sectPr/></w:pPr>" + TextRun("The scope is in ") +
           Field(" REF _Ref2 \\h ", TextRun("Scope")) + TextRun(".") + "</w:p>" +
           Heading("_Toc1", "Introduction") + "<w:p>" + TextRun("Kites fly") +
           "<w:r><w:rPr><w:rStyle w:val=\"FootnoteReference\"/></w:rPr><w:footnoteReference "
           "w:id=\"1\"/></w:r>" +
           TextRun(" high") +
           // Direct superscript on top of the style's, as pasted text often has.
           "<w:r><w:rPr><w:rStyle w:val=\"EndnoteReference\"/><w:vertAlign "
           "w:val=\"superscript\"/></w:rPr><w:endnoteReference w:id=\"1\"/></w:r></w:p>" +
           "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:bookmarkStart w:id=\"20\" "
           "w:name=\"_Toc2\"/><w:bookmarkStart w:id=\"21\" w:name=\"_Ref2\"/>" +
           TextRun("Scope") + "<w:bookmarkEnd w:id=\"21\"/><w:bookmarkEnd w:id=\"20\"/></w:p>" +
           Paragraph("Farsi", TextRun("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85")) + "<w:p>" +
           TextRun("Serif", "<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\"/>") +
           TextRun(" and code", "<w:rFonts w:ascii=\"Courier New\" w:hAnsi=\"Courier New\"/>") +
           "</w:p>";
}

std::string Notes(const char* element, const char* style, const char* mark,
                  const std::string& text) {
    return std::string("<w:") + element + "s " + testing::kWordNamespaces + "><w:" + element +
           " w:id=\"1\"><w:p><w:pPr><w:pStyle w:val=\"" + style +
           "Text\"/></w:pPr><w:r><w:rPr><w:rStyle w:val=\"" + style +
           "Reference\"/></w:rPr><w:" + mark + "/></w:r>" + TextRun(" " + text) +
           "</w:p></w:" + element + "></w:" + element + "s>";
}

std::map<std::string, std::string> DocumentParts() {
    auto parts = testing::DocumentParts(
        Body(),
        Relationship("rS", "styles", "styles.xml") +
            Relationship("rF", "footnotes", "footnotes.xml") +
            Relationship("rE", "endnotes", "endnotes.xml"),
        {{"word/styles.xml", Styles()},
         {"word/footnotes.xml", Notes("footnote", "Footnote", "footnoteRef", "Wind.")},
         {"word/endnotes.xml", Notes("endnote", "Endnote", "endnoteRef", "Strings.")}});
    parts["docProps/core.xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
        "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
        "<dc:title>Kites_x000d_\nand strings</dc:title><dc:creator>Ann Author</dc:creator>"
        "<dc:description>First line._x000d_\nSecond line.</dc:description></cp:coreProperties>";
    return parts;
}

// The raisings in effect on `text` in `chapter`: its enclosing sup elements and elements whose
// own style or a class rule of `styleSheet` says vertical-align:super.
int RaisingsOf(pugi::xml_node text, const std::string& styleSheet) {
    int raised = 0;
    for (pugi::xml_node node = text.parent(); node; node = node.parent()) {
        if (std::string_view(node.name()) == "sup") ++raised;
        const std::string style = node.attribute("style").value();
        if (style.find("vertical-align:super") != std::string::npos) ++raised;
        std::istringstream classes(node.attribute("class").value());
        for (std::string name; classes >> name;) {
            const std::regex rule("\\." + name + "\\s*\\{[^}]*vertical-align:\\s*super");
            if (std::regex_search(styleSheet, rule)) ++raised;
        }
    }
    return raised;
}

struct NoteMark {
    std::string Href;
    int Raisings = 0;
};

// Every note link of the chapter (references and the notes' own marks) with the raisings on
// its label.
std::vector<NoteMark> NoteMarks(const std::string& chapter, const std::string& styleSheet) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_string(chapter.c_str());
    EXPECT_TRUE(parsed) << parsed.description() << " at " << parsed.offset << "\n" << chapter;
    std::vector<NoteMark> marks;
    for (const pugi::xpath_node link : document.select_nodes("//*[local-name()='a'][@href]")) {
        const std::string href = link.node().attribute("href").value();
        if (!std::regex_search(href, std::regex("#_(ftn|edn)(ref)?\\d+$"))) continue;
        const pugi::xpath_node label = link.node().select_node(".//text()[contains(., '[')]");
        EXPECT_TRUE(label) << href;
        if (label) marks.push_back({href, RaisingsOf(label.node(), styleSheet)});
    }
    return marks;
}

class WordDocumentDetailsBookTest : public ::testing::TestWithParam<int> {
  protected:
    WordDocumentDetailsBookTest()
        : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
        Book.Options.EpubVersion = GetParam();
        fs::create_directories(Temp / "in");
    }
    void SetUp() override {
        if (!testing::EpubCheckAvailable())
            GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    }
    TempFolder Temp;
    BookProject Book;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_P(WordDocumentDetailsBookTest, ReachTheBookWhole) {
    testing::WriteDocx(Temp / "in/kites.docx", DocumentParts());
    WordConnection word(ProgramWordFactory(Book));
    ASSERT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/kites.docx"));
    ASSERT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    EXPECT_TRUE(check.Valid) << check.Output;
    ASSERT_EQ(Book.ChapterFiles.size(), 2u);
    const auto chapterName = [&](std::size_t index) {
        const std::string& name = Book.ChapterFiles[index];
        return GetParam() == 3 ? Epub3ChapterName(name) : name;
    };
    const std::string contents = LoadTextFile(Book.OpsFolder + chapterName(0));
    const std::string notes = LoadTextFile(Book.OpsFolder + chapterName(1));
    const std::string styleSheet = LoadTextFile(Book.OpsFolder + "style.css");
    const std::string second = chapterName(1);

    // Four note marks, each raised once.
    const std::vector<NoteMark> marks = NoteMarks(notes, styleSheet);
    ASSERT_EQ(marks.size(), 4u) << notes;
    for (const NoteMark& mark : marks) EXPECT_EQ(mark.Raisings, 1) << mark.Href << "\n" << notes;

    // The cross-reference leads to the heading's anchor in the other chapter.
    EXPECT_THAT(contents, HasSubstr("The scope is in <a href=\"" + second + "#_Ref2\">Scope</a>."));
    EXPECT_THAT(notes, HasSubstr("id=\"_Ref2\""));

    // The contents entries lead to their headings, without page numbers.
    EXPECT_THAT(contents, HasSubstr("<a href=\"" + second + "#_Toc1\">Introduction</a></p>"));
    EXPECT_THAT(contents, HasSubstr("<a href=\"" + second + "#_Toc2\">Scope</a></p>"));
    EXPECT_THAT(contents, Not(HasSubstr("16")));
    EXPECT_THAT(contents, Not(HasSubstr("17")));

    // Font names of several words, whole in the style sheet and in the font list.
    EXPECT_THAT(styleSheet, HasSubstr("font-family:\"B Nazanin\""));
    EXPECT_THAT(styleSheet, HasSubstr("font-family:\"Times New Roman\",serif"));
    EXPECT_THAT(styleSheet, HasSubstr("font-family:\"Courier New\",monospace"));
    EXPECT_THAT(Book.FontFamilyList, Contains("B Nazanin"));
    EXPECT_THAT(Book.FontFamilyList, Not(Contains("B")));

    // The document's properties without Office's escapes.
    const std::string opf = LoadTextFile(Book.OpsFolder + "content.opf");
    EXPECT_THAT(opf, HasSubstr("<dc:title>Kites and strings</dc:title>"));
    EXPECT_THAT(opf, HasSubstr("<dc:description>First line.\nSecond line.</dc:description>"));
}

// A page Word wrote for Persian text: the font in a style rule, in a paragraph's style with its
// name wrapped over two lines, and in the shorthand of a list label.
TEST_P(WordDocumentDetailsBookTest, AWordPagesFontNamesStayWhole) {
    SaveTextFile(
        Temp / "in/page.htm",
        "<html>\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; "
        "charset=utf-8\">\r\n<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\r\n"
        "<style>\r\n<!--\r\n /* Font Definitions */\r\n @font-face\r\n\t{font-family:\"B "
        "Nazanin\";\r\n\tpanose-1:0 0 4 0 0 0 0 0 0 0;}\r\n /* Style Definitions */\r\n "
        "p.MsoNormal, li.MsoNormal, div.MsoNormal\r\n\t{margin:0cm;\r\n\tfont-size:12.0pt;\r\n"
        "\tfont-family:\"Times New Roman\",serif;}\r\np.Farsi, li.Farsi, div.Farsi\r\n"
        "\t{margin:0cm;\r\n\tfont-size:14.0pt;\r\n\tfont-family:\"B Nazanin\";}\r\n-->\r\n"
        "</style>\r\n</head>\r\n<body lang=EN-US>\r\n<div class=WordSection1>\r\n"
        "<p class=Farsi dir=RTL>\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85</p>\r\n"
        "<p class=MsoNormal dir=RTL style='text-align:right'><span lang=FA\r\n"
        "style='font-size:13.0pt;font-family:\"B\r\nNazanin\"'>\xD9\x85\xD8\xAA\xD9\x86</span>"
        "</p>\r\n<p class=MsoNormal><span style='font:7.0pt \"Courier New\"'>1.&nbsp; </span>"
        "code</p>\r\n</div>\r\n</body>\r\n</html>\r\n");
    ASSERT_TRUE(ImportWordHtml(Book, Form, Ui, Temp / "in/page.htm"));
    ASSERT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    EXPECT_TRUE(check.Valid) << check.Output;
    const std::string styleSheet = LoadTextFile(Book.OpsFolder + "style.css");
    EXPECT_THAT(styleSheet, HasSubstr("p.Farsi"));
    EXPECT_THAT(styleSheet, HasSubstr("font-family:\"B Nazanin\",serif;}"));
    EXPECT_THAT(styleSheet, HasSubstr("em;font-family:\"B Nazanin\",serif}"));
    EXPECT_THAT(styleSheet, HasSubstr("em \"Courier New\"}"));
    EXPECT_THAT(styleSheet, HasSubstr("font-family:\"Times New Roman\",serif;"));
    EXPECT_THAT(Book.FontFamilyList, Contains("B Nazanin"));
    EXPECT_THAT(Book.FontFamilyList, Contains("Courier New"));
    EXPECT_THAT(Book.FontFamilyList, Not(Contains("B")));
}

INSTANTIATE_TEST_SUITE_P(EpubVersions, WordDocumentDetailsBookTest, ::testing::Values(2, 3));

}  // namespace
}  // namespace quirebook
