// Right-to-left books: a Persian Word document (right-to-left paragraphs, a run of Latin text
// inside them, a right-to-left table) and an Arabic web page keep their direction through the
// whole conversion, and the books pass epubcheck.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WebImport.h"
#include "app/WordImport.h"
#include "html/ConformBook.h"
#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"
#include "word/docx/RightToLeftDocument.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

// A right-to-left paragraph of right-to-left runs, as Word writes Persian text.
std::string PersianParagraph(const std::string& runs, const std::string& style = "") {
    return "<w:p><w:pPr>" + (style.empty() ? "" : "<w:pStyle w:val=\"" + style + "\"/>") +
           "<w:bidi/></w:pPr>" + runs + "</w:p>";
}

std::string PersianRun(const std::string& text) {
    return "<w:r><w:rPr><w:rtl/><w:lang w:bidi=\"fa-IR\"/></w:rPr><w:t xml:space=\"preserve\">" +
           text + "</w:t></w:r>";
}

std::string LatinRun(const std::string& text) {
    return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

std::string Cell(const std::string& text) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>" +
           PersianParagraph(PersianRun(text)) + "</w:tc>";
}

// A short Persian thesis page: a heading, a supervisor line whose colon ends the label, a
// paragraph with an English name inside it, a centred line and a right-to-left table.
std::string PersianThesisBody() {
    return PersianParagraph(PersianRun("فصل اول: مقدمه"), "Heading1") +
           PersianParagraph(PersianRun("استاد راهنما:") + PersianRun(" دکتر احمدی")) +
           PersianParagraph(PersianRun("این پایان‌نامه با ") +
                            LatinRun("Microsoft Word 2016") + PersianRun(" نوشته شده است.")) +
           "<w:p><w:pPr><w:bidi/><w:jc w:val=\"center\"/></w:pPr>" + PersianRun("بسم الله") +
           "</w:p>" +
           "<w:tbl><w:tblPr><w:bidiVisual/><w:tblW w:w=\"4000\" w:type=\"dxa\"/></w:tblPr>"
           "<w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>"
           "<w:tr>" +
           Cell("نام") + Cell("نمره") + "</w:tr></w:tbl>" + "<w:sectPr><w:bidi/></w:sectPr>";
}

class RightToLeftBookTest : public ::testing::Test {
  protected:
    RightToLeftBookTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
        fs::create_directories(Temp / "in");
    }
    // Every test here judges its book with epubcheck.
    void SetUp() override {
        if (!testing::EpubCheckAvailable())
            GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    }
    // The chapter of the book as the reader gets it.
    std::string PublishedChapter(std::size_t index) {
        EXPECT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
        const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
        EXPECT_TRUE(check.Valid) << check.Output;
        const std::string& name = Book.ChapterFiles.at(index);
        return LoadTextFile(Book.OpsFolder +
                            (Book.Options.EpubVersion >= 3 ? Epub3ChapterName(name) : name));
    }
    TempFolder Temp;
    BookProject Book;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(RightToLeftBookTest, TheWordLayerWritesDirectionsAsDirAttributes) {
    testing::WriteDocx(Temp / "in/thesis.docx", testing::MinimalDocxParts(PersianThesisBody()));
    Book.Options.OptimizeWordHtml = false;
    WordConnection word(ProgramWordFactory(Book));
    ASSERT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/thesis.docx"));
    const std::string page = LoadTextFile(Book.WordTempFolder + Book.ChapterFiles[0]);
    EXPECT_THAT(page, HasSubstr("<body dir=\"rtl\">"));
    EXPECT_THAT(page, HasSubstr("<p class=MsoNormal align=right dir=RTL "
                                "style='text-align:right'>"));
    EXPECT_THAT(page, HasSubstr("align=center dir=RTL style='text-align:center'>"));
    EXPECT_THAT(page, Not(HasSubstr("direction")));
    EXPECT_THAT(page, HasSubstr("<span dir=RTL>استاد راهنما: دکتر احمدی</span>"));
    EXPECT_THAT(page, HasSubstr("<span dir=LTR>Microsoft Word 2016</span>"));
    EXPECT_THAT(page, HasSubstr("<table class=MsoNormalTable dir=rtl"));
}

TEST_F(RightToLeftBookTest, ADocumentsChaptersKeepTheirDirection) {
    testing::WriteDocx(Temp / "in/thesis.docx", testing::MinimalDocxParts(PersianThesisBody()));
    WordConnection word(ProgramWordFactory(Book));
    ASSERT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/thesis.docx"));
    const std::string chapter = PublishedChapter(0);
    EXPECT_THAT(chapter, HasSubstr("<body dir=\"rtl\">"));
    EXPECT_THAT(chapter, HasSubstr("<p dir=\"rtl\""));
    // The direction is in the chapter, not in the style sheet.
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "style.css"), Not(HasSubstr("direction")));
    EXPECT_THAT(chapter, HasSubstr("<span dir=\"rtl\">استاد راهنما: دکتر احمدی</span>"));
    EXPECT_THAT(chapter, HasSubstr("<span dir=\"ltr\">Microsoft Word 2016</span>"));
    EXPECT_THAT(chapter, HasSubstr("<table dir=\"rtl\""));
    // The document's defaults name no language: its right-to-left runs do.
    EXPECT_EQ(Book.BookMetadata.Language, "fa");
}

// The book of the test document laid out right to left, in EPUB `version`: valid, its
// paragraphs' starts, tables and floats mirrored, its code and Latin names isolated.
TEST_F(RightToLeftBookTest, AWordDocumentIsLaidOutFromTheRightInBothVersions) {
    testing::WriteDocx(Temp / "in/layout.docx", testing::RightToLeftDocumentParts());
    WordConnection word(ProgramWordFactory(Book));
    ASSERT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/layout.docx"));
    for (const int version : {2, 3}) {
        SCOPED_TRACE("EPUB " + std::to_string(version));
        Book.Options.EpubVersion = version;
        const std::string chapter = PublishedChapter(0);
        const std::string css = LoadTextFile(Book.OpsFolder + "style.css");
        EXPECT_EQ(Book.BookMetadata.Language, "fa");
        EXPECT_THAT(chapter,
                    HasSubstr("<span dir=\"ltr\"><span "
                              "class=\"MsoHtmlCode\">printf(\"%d\\n\", x);</span></span>"));
        EXPECT_THAT(chapter, HasSubstr("<span dir=\"ltr\">Microsoft <b>Word</b> 2016</span>"));
        EXPECT_THAT(chapter, HasSubstr("<p dir=\"ltr\""));
        EXPECT_THAT(chapter, HasSubstr("<table dir=\"rtl\""));
        // Word's start indents, the list's and the heading's, at the right; the end at the left.
        EXPECT_THAT(css, HasSubstr("{margin-right:1.0in;text-align:right}"));
        EXPECT_THAT(css, HasSubstr("{margin-right:.5in;margin-left:1.5in;text-align:right}"));
        EXPECT_THAT(css, HasSubstr("h1\n\t{margin:16px .3in 8px 0in;\n\ttext-align:right;\n\t"
                                   "text-indent:-.3in;"));
        EXPECT_THAT(css, HasSubstr("{margin:0in .5in 0in 0in;"));
        // Floats keep their side with the picture's size, in the picture's own style.
        EXPECT_THAT(chapter, HasSubstr(";float:right;clear:right;margin-left:9.0pt\""));
        EXPECT_THAT(chapter, HasSubstr(";float:left;clear:left;margin-right:9.0pt\""));
        EXPECT_THAT(css, Not(HasSubstr("direction")));
    }
}

TEST_F(RightToLeftBookTest, AWebPageKeepsTheDirectionOfItsHtmlElement) {
    SaveTextFile(Temp / "in/page.html",
                 "<!DOCTYPE html><html lang=ar dir=rtl><head><meta charset=utf-8>"
                 "<title>فصل</title></head><body><h1 id=\"فصل_1\">الفصل الأول</h1>"
                 "<p>النص <span dir=ltr>HTML 4.01</span> هنا.</p>"
                 "<p><a href=\"#فصل_1\">عودة</a></p></body></html>");
    SaveTextFile(Temp / "in/ltr.html",
                 "<html><head><title>x</title></head><body><p>Left to right.</p></body></html>");
    ASSERT_TRUE(ImportWebPages(Book, Form, Ui, {Temp / "in/page.html", Temp / "in/ltr.html"}));
    const std::string chapter = PublishedChapter(0);
    EXPECT_THAT(chapter, HasSubstr("<body dir=\"rtl\">"));
    EXPECT_THAT(chapter, HasSubstr("<span dir=\"ltr\">HTML 4.01</span>"));
    // The Arabic id keeps its letters and its link still lands on it.
    EXPECT_THAT(chapter, HasSubstr("id=\"فصل_1\""));
    EXPECT_THAT(chapter, HasSubstr("#فصل_1\">"));
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "ltr.html"), Not(HasSubstr("dir=")));
}

}  // namespace
}  // namespace quirebook
