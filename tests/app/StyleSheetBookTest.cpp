// Whole books whose style epubcheck would reject as the site or document wrote it: a web book
// whose sheet holds a class selector starting with a digit and a direction for a class of the
// page, made as EPUB 2 and EPUB 3, and a right-to-left Word document made as EPUB 3.
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

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

class StyleSheetBookTest : public ::testing::Test {
  protected:
    StyleSheetBookTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
    }
    void SetUp() override {
        if (!testing::EpubCheckAvailable())
            GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    }
    // Publishes the book and gives epubcheck's verdict on it.
    testing::EpubCheckResult Published(int version) {
        Book.Options.EpubVersion = version;
        EXPECT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
        return testing::RunEpubCheck(Book.OutputPath);
    }
    // The first chapter as the book holds it.
    std::string FirstChapter() {
        const std::string& name = Book.ChapterFiles.at(0);
        return LoadTextFile(Book.OpsFolder +
                            (Book.Options.EpubVersion >= 3 ? Epub3ChapterName(name) : name));
    }
    TempFolder Temp;
    BookProject Book;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(StyleSheetBookTest, AWebBooksSheetLosesWhatEpubcheckRejectsAndKeepsItsDirectionAsDir) {
    const std::string site = Temp / "site";
    fs::create_directories(site + "/pages");
    fs::create_directories(site + "/_static");
    SaveTextFile(site + "/_static/book.css",
                 "body { margin: 1em }\n"
                 "ol.1 { list-style-type: decimal }\n"
                 ".farsi { direction: rtl; unicode-bidi: embed; text-align: right }\n"
                 "code { font-size: unset }\n");
    SaveTextFile(site + "/pages/one.html",
                 "<!DOCTYPE html><html><head><title>One</title>"
                 "<link rel=\"stylesheet\" href=\"../_static/book.css\"></head><body>"
                 "<h1>One</h1><p class=\"farsi\">سلام دنیا</p><p>Plain <code>code</code></p>"
                 "<ol class=\"1\"><li>first</li></ol></body></html>");
    ASSERT_TRUE(ImportWebPages(Book, Form, Ui, {site + "/pages/one.html"}));
    for (const int version : {2, 3}) {
        const testing::EpubCheckResult check = Published(version);
        EXPECT_TRUE(check.Valid) << "EPUB " << version << "\n" << check.Output;
        EXPECT_THAT(Book.BuildLog,
                    HasSubstr("Style sheet root/_static/book.css, line 2: the rule "
                              "\"ol.1\" is left out: its selector is not valid CSS"));
        EXPECT_THAT(Book.BuildLog, HasSubstr("Style sheet root/_static/book.css, line 4: the font "
                                             "size \"unset\" is written \"inherit\""));
        const std::string sheet = LoadTextFile(Book.OpsFolder + "root/_static/book.css");
        EXPECT_THAT(sheet, Not(HasSubstr("ol.1")));
        EXPECT_THAT(sheet, HasSubstr("body { margin: 1em }\n\n.farsi {"));
        const std::string chapter = FirstChapter();
        if (version == 2) {
            EXPECT_THAT(sheet, HasSubstr("direction: rtl; unicode-bidi: embed;"));
            EXPECT_THAT(chapter, Not(HasSubstr("dir=")));
        } else {
            EXPECT_THAT(sheet, HasSubstr(".farsi {   text-align: right }"));
            EXPECT_THAT(chapter, HasSubstr("<p dir=\"rtl\" class=\"farsi\">سلام دنیا</p>"));
            EXPECT_THAT(Book.BuildLog, HasSubstr("kept by dir attributes: 1 element of 1 chapter"));
        }
    }
}

TEST_F(StyleSheetBookTest, ARightToLeftWordDocumentMakesAValidEpub3Book) {
    const std::string paragraph =
        "<w:p><w:pPr><w:bidi/></w:pPr><w:r><w:rPr><w:rtl/><w:lang w:bidi=\"fa-IR\"/></w:rPr>"
        "<w:t>این یک پاراگراف است.</w:t></w:r></w:p>";
    fs::create_directories(Temp / "in");
    testing::WriteDocx(
        Temp / "in/thesis.docx",
        testing::MinimalDocxParts(paragraph + paragraph + "<w:sectPr><w:bidi/></w:sectPr>"));
    WordConnection word(ProgramWordFactory(Book));
    ASSERT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/thesis.docx"));
    Form.LanguageName = "Persian";
    const testing::EpubCheckResult check = Published(3);
    EXPECT_TRUE(check.Valid) << check.Output;
    EXPECT_THAT(check.Output, Not(HasSubstr("CSS-001")));
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "style.css"), Not(HasSubstr("direction")));
    const std::string chapter = FirstChapter();
    EXPECT_THAT(chapter, Not(HasSubstr("direction")));
    EXPECT_THAT(chapter, HasSubstr("<p dir=\"rtl\""));
}

}  // namespace
}  // namespace quirebook
