// Tests of repairing a book's style: its sheets, style elements and style attributes, the log
// lines naming where something was left out, and in EPUB 3 the dir attributes that take the
// place of the direction declarations, chosen as the cascade chooses.
#include "html/BookStyleRepair.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::TempFolder;

class BookStyleRepairTest : public ::testing::Test {
  protected:
    BookStyleRepairTest() : Book({"/nonexistent", Temp.Path()}, Temp / "work") {
        Book.ClearBookFolders();
        fs::create_directories(Book.OpsFolder + "css");
    }

    void AddSheet(const std::string& path, const std::string& css) {
        SaveTextFile(Book.OpsFolder + path, css);
        Sheets.push_back(path);
    }

    void AddChapter(const std::string& name, const std::string& head, const std::string& body) {
        Book.ChapterFiles.push_back(name);
        Texts.push_back("<html><head><title>T</title>" + head + "</head><body>" + body +
                        "</body></html>");
    }

    void Repair(int version) {
        Book.Options.EpubVersion = version;
        RepairBookStyles(Book, Texts, Sheets);
    }

    std::string Ops(const std::string& path) { return LoadTextFile(Book.OpsFolder + path); }

    TempFolder Temp;
    BookProject Book;
    ChapterTexts Texts;
    std::vector<std::string> Sheets;
};

TEST_F(BookStyleRepairTest, EverySheetStyleElementAndAttributeIsRepairedAndTheLogSaysWhere) {
    AddSheet("css/book.css", "p { color: red }\nol.1 { color: blue }\n.rtl { direction: rtl }");
    SaveTextFile(Book.OpsFolder + "mine.css", "h1 { *zoom: 1; color: green }");
    Book.ReplaceStyleSheet = true;
    Book.ReplacementStyleSheet = Temp / "elsewhere/mine.css";
    AddChapter("a.html",
               "<link rel=stylesheet href=css/book.css><style>\n<!--\nq { x: y }\n#1a { }\n-->"
               "</style>",
               "<p class=rtl style='color: red;; *zoom: 1'>x</p><p style=\"*zoom: 1\">y</p>");
    Repair(2);
    // EPUB 2 keeps the direction.
    EXPECT_EQ(Ops("css/book.css"), "p { color: red }\n\n.rtl { direction: rtl }");
    EXPECT_EQ(Ops("mine.css"), "h1 {  color: green }");
    EXPECT_THAT(Texts[0], HasSubstr("<style>\n\nq { x: y }\n\n</style>"));
    EXPECT_THAT(Texts[0], HasSubstr("<p class=rtl style=\"color: red;; \">x</p><p>y</p>"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("Style sheet css/book.css, line 2: the rule \"ol.1\" is "
                                         "left out: its selector is not valid CSS"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("Style sheet mine.css, line 1: the text \"*zoom: 1\""));
    EXPECT_THAT(Book.BuildLog, HasSubstr("Style element 1 of a.html, line 4: the rule \"#1a\""));
    EXPECT_THAT(Book.BuildLog, HasSubstr("Style attributes of a.html: the text \"*zoom: 1\""));
    EXPECT_THAT(Texts[0], Not(HasSubstr("dir=")));
}

TEST_F(BookStyleRepairTest, InEpub3TheDirectionGoesAndTheCascadesWinnerBecomesDir) {
    AddSheet("css/base.css", ".x { direction: rtl }\nspan { direction: rtl }");
    AddSheet("css/book.css",
             "@import \"base.css\";\n"
             "p.x { direction: ltr }\n"                          // more specific than .x
             "#keep { direction: ltr !important }\n"             // beats the attribute
             "@media print { blockquote { direction: rtl } }\n"  // not on the screen
             "li:first-child { direction: rtl }\n"               // a selector not matched
             "html { direction: rtl }");
    AddChapter("a.html", "<link rel=\"stylesheet\" href=\"css/book.css\">",
               "<div class=x><p class=x>a</p><p class=x id=keep style=\"direction: rtl\">b</p>"
               "<p dir=LTR>c <span dir=ltr>d</span> <span>e</span></p></div>"
               "<blockquote>f</blockquote><ul><li>g</li></ul>");
    AddChapter("b.html", "", "<div class=x>h</div>");
    Repair(3);
    EXPECT_EQ(Ops("css/base.css"), ".x { }\nspan { }");
    EXPECT_THAT(Ops("css/book.css"), Not(HasSubstr("direction")));
    EXPECT_EQ(Texts[0],
              "<html><head><title>T</title><link rel=\"stylesheet\" href=\"css/book.css\">"
              "</head><body dir=\"rtl\"><div dir=\"rtl\" class=x><p dir=\"ltr\" class=x>a</p>"
              "<p dir=\"ltr\" class=x id=keep>b</p><p dir=LTR>c <span dir=\"rtl\">d</span> "
              "<span dir=\"rtl\">e</span></p></div><blockquote>f</blockquote><ul><li>g</li></ul>"
              "</body></html>");
    // A chapter that links no sheet takes none of its directions.
    EXPECT_EQ(Texts[1],
              "<html><head><title>T</title></head><body><div class=x>h</div></body></html>");
    EXPECT_THAT(Book.BuildLog,
                HasSubstr("Style sheet css/book.css: 5 direction and unicode-bidi declarations "
                          "left out, as EPUB 3 requires; the elements they select carry dir "
                          "instead (2 directions under a media condition or a selector that "
                          "cannot be matched set none)"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("kept by dir attributes: 6 elements of 1 chapter"));
}

TEST_F(BookStyleRepairTest,
       StyleElementsAndSheetsTakeTheirPlaceInTheCascadeAsTheChapterOrdersThem) {
    AddSheet("book.css", "p { direction: ltr }");
    AddSheet("print.css", "p { direction: rtl }");
    // Sheets for print or offered as alternates do not style the screen.
    AddChapter("a.html",
               "<style>p { direction: rtl; unicode-bidi: embed }</style>"
               "<link rel=stylesheet href=book.css><link rel=stylesheet media=print href=print.css>"
               "<link rel=\"alternate stylesheet\" href=print.css>",
               "<p>a</p>");
    AddChapter("b.html", "<link rel=stylesheet href=book.css><style>p { direction: rtl }</style>",
               "<p>b</p>");
    Repair(3);
    EXPECT_THAT(Texts[0], HasSubstr("<style>p {  }</style>"));
    EXPECT_THAT(Texts[0], HasSubstr("<p dir=\"ltr\">a</p>"));
    EXPECT_THAT(Texts[1], HasSubstr("<p dir=\"rtl\">b</p>"));
}

}  // namespace
}  // namespace quirebook
