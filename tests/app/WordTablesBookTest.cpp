// The looks of Word's tables and borders reach the book: a document with table styles, a cell's
// own shading, widths, bordered paragraphs, a horizontal rule and a text box made into EPUB 2
// and EPUB 3 books that pass epubcheck, whose chapters keep the header rule, the shaded bands,
// the widths and the boxes through the cleaners, the content filter and the conformance stage.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "text/TextFiles.h"
#include "word/docx/BorderedDocument.h"
#include "word/docx/DocxFixture.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::RecordingUserInterface;
using testing::TempFolder;

// A chapter with the book's style sheet: the look of an element is its class's rule.
struct StyledChapter {
    std::string Page, Sheet;

    // The class of the innermost `element` ("td", "table", "div") before the first `text` at
    // or after `from`.
    std::string ClassBefore(const std::string& element, const std::string& text,
                            std::size_t from = 0) const {
        const std::size_t start = Page.rfind("<" + element + " ", Page.find(text, from));
        if (start == std::string::npos) return {};
        const std::size_t end = Page.find('>', start);
        const std::size_t name = Page.find("class=\"", start);
        if (name == std::string::npos || name > end) return {};
        return Page.substr(name + 7, Page.find('"', name + 7) - name - 7);
    }

    // The declarations of the rule for class `name`.
    std::string Rule(const std::string& name) const {
        const std::size_t start = Sheet.find("." + name + "{");
        if (start == std::string::npos) return "(no rule for ." + name + ")";
        return Sheet.substr(start, Sheet.find('}', start) - start);
    }

    std::string LookOf(const std::string& element, const std::string& text) const {
        return Rule(ClassBefore(element, text));
    }
};

class WordTablesBookTest : public ::testing::TestWithParam<int> {
  protected:
    WordTablesBookTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
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

TEST_P(WordTablesBookTest, ChaptersKeepTheLooksOfTablesBordersAndRules) {
    testing::WriteDocx(Temp / "in/looks.docx", testing::BorderedDocumentParts());
    WordConnection word(ProgramWordFactory(Book));
    ASSERT_TRUE(OpenWordDocument(Book, Form, Ui, word, Temp / "in/looks.docx"));
    Book.Options.EpubVersion = GetParam();
    ASSERT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    EXPECT_TRUE(check.Valid) << check.Output;
    ASSERT_EQ(Book.ChapterFiles.size(), 1u);
    // An EPUB 3 book names its chapters .xhtml.
    fs::path page = fs::path(Book.OpsFolder) / Book.ChapterFiles[0];
    if (GetParam() == 3) page.replace_extension(".xhtml");
    const StyledChapter chapter{LoadTextFile(page.string()),
                                LoadTextFile(Book.OpsFolder + "style.css")};
    ASSERT_THAT(chapter.Page, HasSubstr("r1c1"));

    // The header row's rule below it, bold text in the style's colour; a band's shading.
    EXPECT_THAT(chapter.LookOf("td", ">r1c2<"), HasSubstr("border-bottom:solid #4F81BD 2px"));
    EXPECT_THAT(chapter.Page, HasSubstr("<b><span class=\"" +
                                        chapter.ClassBefore("span", ">r1c2<") + "\">r1c2</span>"));
    EXPECT_THAT(chapter.LookOf("span", ">r1c2<"), HasSubstr("color:#1F497D"));
    EXPECT_THAT(chapter.LookOf("td", ">r2c2<"),
                HasSubstr(std::string("background:") + testing::kBandColor));
    EXPECT_THAT(chapter.LookOf("td", ">r2c1<"),
                HasSubstr(std::string("border-left:solid ") + testing::kAccentColor + " 1px"));
    // The widths: the first table's grid, the centred half, three inches of six and a half.
    EXPECT_THAT(chapter.LookOf("table", ">r1c1<"), HasSubstr("width:64.1%"));
    const auto tableAfter = [&](const std::string& words) {
        return chapter.Rule(chapter.ClassBefore("table", ">r1c1<", chapter.Page.find(words)));
    };
    EXPECT_THAT(tableAfter("Half the width"),
                HasSubstr("width:50.0%;margin-left:auto;margin-right:auto"));
    EXPECT_THAT(tableAfter("Three inches wide"), HasSubstr("width:46.15%"));
    // The cell's own shading and double border over the band's.
    EXPECT_THAT(chapter.Sheet, HasSubstr("border-top:double red 3px;border-left:none;"
                                         "background:#FFC000"));
    // The box around two paragraphs with the border between them, the rule below one, the
    // horizontal rule and the text box's outline.
    EXPECT_THAT(chapter.LookOf("div", "First boxed paragraph"), HasSubstr("border:solid gray 1px"));
    EXPECT_THAT(chapter.LookOf("p", "Second boxed paragraph"),
                HasSubstr("border-top:dotted gray 1px"));
    EXPECT_THAT(chapter.LookOf("div", "A paragraph with a rule below"),
                HasSubstr("border-bottom:solid black 1px"));
    EXPECT_THAT(chapter.LookOf("hr", "After the rule"), HasSubstr("border-top:solid #A0A0A0 2px"));
    EXPECT_THAT(chapter.LookOf("div", "Boxed in red"), HasSubstr("border:solid #C0504D 2px"));
}

INSTANTIATE_TEST_SUITE_P(EpubVersions, WordTablesBookTest, ::testing::Values(2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Epub" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace quirebook
