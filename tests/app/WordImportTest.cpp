#include "app/WordImport.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "text/Encoding.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::RecordingUserInterface;
using testing::TempFolder;

// A Word page as Word saves an unfiltered page: the long html start tag first, the metas later.
std::string WordPage(const std::string& charset, const std::string& body) {
    return "<html xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:"
           "office:office\" xmlns:w=\"urn:schemas-microsoft-com:office:word\" xmlns:m=\"http://"
           "schemas.microsoft.com/office/2004/12/omml\" xmlns=\"http://www.w3.org/TR/REC-html40\">"
           "\r\n\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=" +
           charset +
           "\">\r\n<meta name=ProgId content=Word.Document>\r\n<meta name=Generator "
           "content=\"Microsoft Word 15\">\r\n<title>Doc</title>\r\n<style>\r\n<!--\r\n /* Style "
           "Definitions */\r\n p.MsoNormal {margin:0in;font-size:12.0pt;}\r\n-->\r\n</style>\r\n"
           "</head>\r\n<body lang=EN-US>\r\n" +
           body + "\r\n</body>\r\n</html>\r\n";
}

const char* const kThreeSections =
    "<div class=WordSection1><h1>One</h1><p class=MsoNormal>caf\xe9</p></div>"
    "<span style='font-size:12.0pt'><br clear=all style='page-break-before:always'></span>"
    "<div class=WordSection2><h1>Two</h1><p class=MsoNormal>b</p></div>"
    "<span><br clear=all style='page-break-before:always'></span>"
    "<div class=WordSection3><h1>Three</h1><p class=MsoNormal><img src=\"Doc_files/a.png\"></p>"
    "</div>";

class WordImportTest : public ::testing::Test {
  protected:
    WordImportTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
        fs::create_directories(Temp / "in/Doc_files");
        SaveTextFile(Temp / "in/Doc_files/a.png", "\x89PNG\r\n\x1a\n");  // a PNG signature
    }
    TempFolder Temp;
    BookProject Book;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(WordImportTest, ChecksTheHeadNotJustItsFirstBytes) {
    SaveTextFile(Temp / "in/Doc.htm", WordPage("windows-1252", kThreeSections));
    EXPECT_TRUE(CheckWordHtmlFile(Temp / "in/Doc.htm", Ui));
    SaveTextFile(Temp / "in/plain.htm", "<html><head><title>x</title></head><body></body></html>");
    EXPECT_FALSE(CheckWordHtmlFile(Temp / "in/plain.htm", Ui));
    SaveTextFile(Temp / "in/odd.htm", WordPage("no-such-charset", "<p>\xe9</p>"));
    EXPECT_FALSE(CheckWordHtmlFile(Temp / "in/odd.htm", Ui));
    EXPECT_THAT(Ui.Messages,
                ElementsAre("Invalid Word HTML: Not MS Word generated HTML.",
                            "Invalid Word HTML: Please re-save webpage in utf-8 code."));
}

TEST_F(WordImportTest, SplitsAWindows1252PageIntoChaptersWithItsPictures) {
    const std::string page = WordPage("windows-1252", kThreeSections);
    SaveTextFile(Temp / "in/Doc.htm", page);
    ASSERT_TRUE(ImportWordHtml(Book, Form, Ui, Temp / "in/Doc.htm"))
        << ::testing::PrintToString(Ui.Messages);
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm", "c_2.htm", "c_3.htm"));
    EXPECT_EQ(Book.SourceFolder, Book.WordTempFolder);
    EXPECT_EQ(Form.TitleBox, "Doc");
    EXPECT_EQ(Form.OutputNameLabel, "Doc.epub");
    EXPECT_THAT(Book.ChapterTitles, ElementsAre("One", "Two", "Three"));
    EXPECT_THAT(LoadTextFile(Book.WordTempFolder + "c_1.htm"), HasSubstr("caf\xc3\xa9"));
    EXPECT_EQ(LoadTextFile(Temp / "in/Doc.htm"), page);  // the user's page is untouched
    ASSERT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
    EXPECT_TRUE(fs::exists(Book.OpsFolder + "imgs/a.png"));
}

TEST_F(WordImportTest, APageTheCleanerRefusesStopsTheImport) {
    SaveTextFile(Temp / "in/Doc.htm",
                 "<html><head><meta name=\"Generator\" content=\"Microsoft Word (filtered)\">"
                 "</head><body><p>x</p></body></html>");
    EXPECT_FALSE(ImportWordHtml(Book, Form, Ui, Temp / "in/Doc.htm"));
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("Doc.htm"));
    EXPECT_TRUE(Book.ChapterFiles.empty());
}

// The page in UTF-16 with its byte order mark, as Word saves a page in "Unicode".
std::string Utf16Page(const std::string& utf8, bool bigEndian) {
    std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (const char16_t unit : Utf8ToWide(utf8)) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xff);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Word names the picture folder "NAME_files", "NAME.fld" in older versions and after the
// language elsewhere ("NAME_fichiers"); each is found in every encoding a page is saved in.
TEST_F(WordImportTest, FindsThePictureFolderInEveryEncodingAndNaming) {
    for (const std::string folder : {"Pics_files", "Pics.fld", "Pics_fichiers"}) {
        const std::string body =
            "<div class=WordSection1><h1>Caf\xc3\xa9</h1><p class=MsoNormal>"
            "<img width=10 height=10 src=\"" +
            folder + "/image001.png\"></p></div>";
        const std::string utf8 = WordPage("utf-8", body);
        const std::vector<std::pair<std::string, std::string>> pages = {
            {"utf-8", utf8},
            {"utf-16le", Utf16Page(WordPage("unicode", body), false)},
            {"utf-16be", Utf16Page(WordPage("unicode", body), true)},
            {"windows-1252", WordPage("windows-1252", PlainReplace(body, "\xc3\xa9", "\xe9"))}};
        for (const auto& [encoding, page] : pages) {
            SCOPED_TRACE(folder + " in " + encoding);
            TempFolder temp;
            BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
            book.OutputFolder = temp / "books/";
            BookForm form;
            fs::create_directories(temp / ("in/" + folder));
            SaveTextFile(temp / ("in/" + folder + "/image001.png"), "\x89PNG\r\n\x1a\n");
            SaveTextFile(temp / "in/Pics.htm", page);
            ASSERT_TRUE(ImportWordHtml(book, form, Ui, temp / "in/Pics.htm"));
            const std::string chapter = LoadTextFile(book.WordTempFolder + book.ChapterFiles[0]);
            EXPECT_THAT(chapter, HasSubstr("Caf\xc3\xa9"));
            ASSERT_TRUE(PublishBook(book, form, Ui)) << book.BuildLog;
            const std::string moved = folder == "Pics_files" ? "imgs" : folder;
            EXPECT_TRUE(fs::exists(book.OpsFolder + moved + "/image001.png"));
            EXPECT_THAT(LoadTextFile(book.OpsFolder + book.ChapterFiles[0]),
                        HasSubstr("src=\"" + moved + "/image001.png\""));
        }
    }
}

}  // namespace
}  // namespace quirebook
