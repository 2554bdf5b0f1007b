#include "html/FootnotesAndDropCaps.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

TEST(WrapFootnoteReferences, RaisesTheBracketedTextOfEachReference) {
    EXPECT_EQ(WrapFootnoteReferences("x<a href=\"#_ftn1\" name=\"_ftnref1\">[1]</a>y"),
              "x<a href=\"#_ftn1\" name=\"_ftnref1\"><sup>[1]</sup></a>y");
    // Tags between the link and the "[" are kept; the text may be any bracketed text.
    EXPECT_EQ(WrapFootnoteReferences("<A HREF=\"#_edn3\"><span>[iii]</span></A> and "
                                     "<a href=\"#_ftn12\">[12]</a>."),
              "<A HREF=\"#_edn3\"><span><sup>[iii]</sup></span></A> and "
              "<a href=\"#_ftn12\"><sup>[12]</sup></a>.");
    // Back-links inside the notes and links without digits do not match.
    const std::string notes = "<a href=\"#_ftnref1\">[1]</a><a href=\"#_ftn\">[x]</a>";
    EXPECT_EQ(WrapFootnoteReferences(notes), notes);
    const std::string plain = "<p>No [notes] here\r\n</p>";
    EXPECT_EQ(WrapFootnoteReferences(plain), plain);
}

TEST(WrapFootnoteReferences, KeepsTheRestWhenBracketsRunOut) {
    // A "[" with no "]" after it: the text from that "[" on stays as it is, earlier references
    // keep their superscripts.
    EXPECT_EQ(WrapFootnoteReferences("<a href=\"#_ftn1\">[1]</a> <a href=\"#_ftn2\">[2</a> ["),
              "<a href=\"#_ftn1\"><sup>[1]</sup></a> <a href=\"#_ftn2\">[2</a> [");
    // A reference with no "[" after it at all: the same.
    EXPECT_EQ(WrapFootnoteReferences("<a href=\"#_ftn1\">[1]</a><a href=\"#_ftn2\">2</a>"),
              "<a href=\"#_ftn1\"><sup>[1]</sup></a><a href=\"#_ftn2\">2</a>");
    // A reference without brackets takes the next one's; that one is not copied a second time.
    EXPECT_EQ(WrapFootnoteReferences("<a href=\"#_ftn1\">1</a> <a href=\"#_ftn2\">[2]</a> "
                                     "<a href=\"#_ftn3\">[3]</a>"),
              "<a href=\"#_ftn1\">1</a> <a href=\"#_ftn2\"><sup>[2]</sup></a> "
              "<a href=\"#_ftn3\"><sup>[3]</sup></a>");
}

TEST(SpansToSamples, RenamesExactSpanTagsOnly) {
    EXPECT_EQ(SpansToSamples("<span class=\"x\">a</span><SPAN>b</SPAN><spanner>"),
              "<samp class=\"x\">a</samp><SPAN>b</SPAN><sampner>");
}

constexpr const char* kDropCapTable =
    "<div>\r\n<table class=\"d\" align=\"left\">\r\n <tr>\r\n  <td width=\"40\">\r\n"
    "  <p class=\"MsoNormal\"><span style=\"font-size:40pt\">@</span></p>\r\n  </td>\r\n </tr>"
    "\r\n</table>\r\n</div>";

std::string DropCapTable(const std::string& letter) {
    std::string table = kDropCapTable;
    return table.replace(table.find('@'), 1, letter);
}

TEST(MakeDropCaps, TurnsOneLetterTablesIntoStyledParagraphs) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    book.ClearBookFolders();
    book.SourceFolder = temp / "source/";
    fs::create_directories(book.SourceFolder);
    const std::string head = "<html><head>\r\n<title>t</title></head><body>";
    const std::string twoLetters = DropCapTable("AB");
    std::string twoParagraphs = DropCapTable("A");
    twoParagraphs.insert(twoParagraphs.find("</td>"), "<p>x</p>");
    const std::string untouched = head + twoLetters + twoParagraphs + "</body></html>";
    book.ChapterFiles = {"drop.htm", "plain.htm", "headless.htm"};
    SaveTextFile(book.OpsFolder + "drop.htm",
                 head + DropCapTable("T") + "he story.<p>x</p>" + DropCapTable("o") + "</body>");
    SaveTextFile(book.OpsFolder + "plain.htm", untouched);
    SaveTextFile(book.OpsFolder + "headless.htm", "<body>" + DropCapTable("W") + "</body>");

    ChapterTexts texts = LoadChapterTexts(book);
    MakeDropCaps(texts);
    SaveChapterTexts(book, texts);
    const std::string dropped = LoadTextFile(book.OpsFolder + "drop.htm");
    const std::string style =
        "<style type=\"text/css\">p.dropcap span { float: left; font-size: 3em; line-height: 1; "
        "margin-right: 0.1em; }</style>\r\n";
    EXPECT_EQ(dropped, "<html><head>" + style +
                           "\r\n<title>t</title></head><body><p class=\"dropcap\"><span "
                           "style=\"font-size:40pt\">T</span></p>he story.<p>x</p><p class=\""
                           "dropcap\"><span style=\"font-size:40pt\">o</span></p></body>");
    EXPECT_EQ(LoadTextFile(book.OpsFolder + "plain.htm"), untouched);
    // Without a head there is nowhere to put the rule; the paragraph is made all the same.
    EXPECT_EQ(LoadTextFile(book.OpsFolder + "headless.htm"),
              "<body><p class=\"dropcap\"><span style=\"font-size:40pt\">W</span></p></body>");
    // A second run finds no table left and adds no second rule; the source folder is not
    // written to.
    MakeDropCaps(texts);
    EXPECT_EQ(texts.front(), dropped);
    EXPECT_TRUE(fs::is_empty(book.SourceFolder));
}

}  // namespace
}  // namespace quirebook
