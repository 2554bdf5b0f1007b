// Word documents with equations made into books: MathML in the EPUB 3 book (its chapter
// declared as holding MathML), XHTML that shows the equations in the EPUB 2 book, both passing
// epubcheck, through the Word cleaners and the light cleaning alike.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

std::string MathRun(const std::string& text, bool plain = false) {
    return std::string("<m:r>") + (plain ? "<m:rPr><m:sty m:val=\"p\"/></m:rPr>" : "") + "<m:t>" +
           text + "</m:t></m:r>";
}

std::string TextRun(const std::string& text) {
    return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

// A paragraph with an equation in its text, a math paragraph with the quadratic formula and an
// equation alone in its paragraph holding a part the converter does not know.
std::string EquationsBody() {
    const std::string inlineEquation = "<m:oMath><m:sSup><m:e>" + MathRun("Y") + "</m:e><m:sup>" +
                                       MathRun("2") + "</m:sup></m:sSup>" + MathRun("=", true) +
                                       MathRun("X") + "</m:oMath>";
    const std::string quadratic =
        "<m:oMathPara><m:oMath>" + MathRun("x") + MathRun("=", true) + "<m:f><m:num>" +
        MathRun("−", true) + MathRun("b") + MathRun("±", true) +
        "<m:rad><m:radPr><m:degHide m:val=\"1\"/></m:radPr><m:deg/><m:e><m:sSup><m:e>" +
        MathRun("b") + "</m:e><m:sup>" + MathRun("2") + "</m:sup></m:sSup>" + MathRun("−", true) +
        MathRun("4ac") + "</m:e></m:rad></m:num><m:den>" + MathRun("2a") +
        "</m:den></m:f></m:oMath></m:oMathPara>";
    const std::string alone = "<m:oMath><m:d><m:e>" + MathRun("n") + "</m:e></m:d>" +
                              "<m:future><m:e>" + MathRun("k") + "</m:e></m:future></m:oMath>";
    return "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr>" + TextRun("Curves") + "</w:p>" +
           "<w:p>" + TextRun("The curve ") + inlineEquation + TextRun(" is elliptic.") + "</w:p>" +
           "<w:p>" + quadratic + "</w:p><w:p>" + alone + "</w:p>";
}

class EquationBookTest : public ::testing::Test {
  protected:
    EquationBookTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
        fs::create_directories(Temp / "in");
    }
    void SetUp() override {
        if (!testing::EpubCheckAvailable())
            GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    }
    // The book of the equations document as `version`, its page cleaned lightly or fully: its
    // one chapter as the reader gets it.
    std::string PublishedChapter(int version, bool light) {
        testing::WriteDocx(Temp / "in/curves.docx", testing::MinimalDocxParts(EquationsBody()));
        Book.Options.ExtremeMode = light;
        Book.Options.EpubVersion = version;
        WordConnection word(ProgramWordFactory(Book));
        EXPECT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/curves.docx"));
        ImportLog = Book.BuildLog;
        EXPECT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
        const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
        EXPECT_TRUE(check.Valid) << check.Output;
        EXPECT_EQ(Book.ChapterFiles.size(), 1u);
        return LoadTextFile(Book.OpsFolder + (version == 3 ? "c_1.xhtml" : "c_1.htm"));
    }
    TempFolder Temp;
    BookProject Book;
    std::string ImportLog;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(EquationBookTest, Epub3BooksCarryMathMl) {
    const std::string chapter = PublishedChapter(3, false);
    EXPECT_THAT(chapter, HasSubstr("The curve <math xmlns=\"http://www.w3.org/1998/Math/MathML\" "
                                   "alttext=\"Y^2 = X\"><msup><mi>Y</mi><mn>2</mn></msup><mo>=</mo>"
                                   "<mi>X</mi></math> is elliptic."));
    EXPECT_THAT(chapter, HasSubstr("<math xmlns=\"http://www.w3.org/1998/Math/MathML\" "
                                   "display=\"block\" alttext=\"x = (−b ± √(b^2 − 4ac))/(2a)\">"
                                   "<mi>x</mi><mo>=</mo><mfrac>"));
    // Alone in its paragraph, an equation is a display equation; what is not understood keeps
    // its text and is told in the book's log.
    EXPECT_THAT(chapter, HasSubstr("display=\"block\" alttext=\"(n)k\">"));
    EXPECT_THAT(chapter, HasSubstr("<mtext>k</mtext></math>"));
    EXPECT_THAT(ImportLog, HasSubstr("1 part of the equations of "));
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "content.opf"),
                HasSubstr("href=\"c_1.xhtml\" media-type=\"application/xhtml+xml\" "
                          "properties=\"mathml\""));
}

// The light cleaning keeps the equations as the full one does.
TEST_F(EquationBookTest, Epub2BooksShowEquationsInXhtml) {
    const std::string chapter = PublishedChapter(2, true);
    EXPECT_THAT(chapter, Not(HasSubstr("<math")));
    EXPECT_THAT(chapter, HasSubstr("The curve <span class=\"math\" title=\"Y^2 = X\"><i>Y</i>"
                                   "<sup>2</sup>\u2005=\u2005<i>X</i></span> is elliptic."));
    EXPECT_THAT(chapter, HasSubstr("<span class=\"math\" title=\"x = (−b ± √(b^2 − 4ac))/(2a)\" "
                                   "style=\"display:block;text-align:center;"));
    EXPECT_THAT(chapter, HasSubstr("border-top:1px solid\">2<i>a</i></span>"));
    EXPECT_THAT(chapter, HasSubstr("title=\"(n)k\" style=\"display:block;"));
}

}  // namespace
}  // namespace quirebook
