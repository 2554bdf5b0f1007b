#include "app/Publish.h"

#include <zip.h>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/WebImport.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

// A 1x1 transparent picture.
const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52"
    "\x00\x00\x00\x01\x00\x00\x00\x01\x08\x06\x00\x00\x00\x1f\x15\xc4"
    "\x89\x00\x00\x00\x0b\x49\x44\x41\x54\x78\x9c\x63\x60\x00\x02\x00"
    "\x00\x05\x00\x01\x7a\x5e\xab\x3f\x00\x00\x00\x00\x49\x45\x4e\x44"
    "\xae\x42\x60\x82",
    68);

std::string Page(const std::string& title, const std::string& body) {
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// A folder "My Pages" of web pages and a project of the program, as the window would have them.
class PublishTest : public ::testing::Test {
  protected:
    PublishTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.OutputFolder = Temp / "books/";
        fs::create_directories(Pages + "/images");
        SaveTextFile(Pages + "/a.htm", Page("Alpha", "<h1>First &amp; <i>one</i></h1><p>a</p>"));
        SaveTextFile(Pages + "/b.htm", Page("Beta", "<h2>&nbsp;</h2><h3>Second</h3><p>b</p>"));
        SaveTextFile(Pages + "/chapter.1.htm", Page("Gamma", "<p>no heading</p>"));
    }

    bool Import(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& name : names) paths.push_back(Pages + "/" + name);
        return ImportWebPages(Book, Form, Ui, paths);
    }

    std::string Opf() {
        zip_t* archive = zip_open(Book.OutputPath.c_str(), ZIP_RDONLY, nullptr);
        if (archive == nullptr) return {};
        std::string text;
        zip_stat_t stat;
        if (zip_stat(archive, "OPS/content.opf", 0, &stat) == 0) {
            zip_file_t* file = zip_fopen(archive, "OPS/content.opf", 0);
            text.resize(stat.size);
            zip_fread(file, text.data(), stat.size);
            zip_fclose(file);
        }
        zip_close(archive);
        return text;
    }

    TempFolder Temp;
    std::string Pages = Temp / "My Pages";
    BookProject Book;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(PublishTest, ImportTakesThePagesInOrderWithNameSizesAndTitles) {
    Form.ReimportEnabled = true;  // left by a Word document's import: web pages cannot be
    ASSERT_TRUE(Import({"b.htm", "a.htm", "chapter.1.htm"}));
    EXPECT_FALSE(Form.ReimportEnabled);
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("b.htm", "a.htm", "chapter.1.htm"));
    EXPECT_EQ(Book.SourceFolder, Pages + "/");
    EXPECT_EQ(Form.TitleBox, "My Pages");
    EXPECT_EQ(Form.OutputNameLabel, "My Pages.epub");
    EXPECT_EQ(Form.Rows[0].SizeText, "1 KB");
    // From the first heading by default: blank headings are passed over; without a heading the
    // page's title serves.
    EXPECT_THAT(Book.ChapterTitles, ElementsAre("Second", "First &amp; one", "Gamma"));
    EXPECT_EQ(Form.Rows[1].Title, "First & one");
    EXPECT_EQ(Book.BuildLog, "");
    EXPECT_TRUE(fs::is_directory(Book.OpsFolder) && fs::is_empty(Book.OpsFolder));
}

TEST_F(PublishTest, TheBookIsInTheLanguageThePagesSay) {
    SaveTextFile(Pages + "/fr.htm", "<html lang=\"fr-CA\"><body><h1>Bonjour</h1></body></html>");
    SaveTextFile(Pages + "/none.htm", "<html><body><h1>Rien</h1></body></html>");
    ASSERT_TRUE(Import({"none.htm", "fr.htm"}));
    EXPECT_EQ(Form.LanguageName, "French");
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    EXPECT_EQ(Book.BookMetadata.Language, "fr");
    // Pages that say nothing keep the language chosen before.
    Form.LanguageName = "German";
    Ui.Answers = {true};
    ASSERT_TRUE(Import({"none.htm"}));
    EXPECT_EQ(Form.LanguageName, "German");
}

TEST_F(PublishTest, TitlesComeFromTheChosenSource) {
    // The whole title, wherever it stands in the page and however its tag is written.
    Book.Options.TitleSource = TitleSourceKind::HtmlTitle;
    SaveTextFile(Pages + "/late.htm", std::string(300, ' ') + Page("Late", ""));
    SaveTextFile(Pages + "/caps.htm", "<Title>Caps</Title>");
    SaveTextFile(Pages + "/bare.1.htm", "<p>Neither a title nor a heading</p>");
    ASSERT_TRUE(Import({"a.htm", "late.htm", "caps.htm", "bare.1.htm"}));
    EXPECT_THAT(Book.ChapterTitles, ElementsAre("Alpha", "Late", "Caps", "bare"));
    // A page that gives no title has the file name's, up to its first dot, and the log says so.
    EXPECT_EQ(Book.BuildLog, "* file4: HTML tilte not found, use filename instead.\r\n");
    Book.Options.TitleSource = TitleSourceKind::FirstHeading;
    FillChapterTitles(Book, Form);
    EXPECT_THAT(Book.ChapterTitles, ElementsAre("First &amp; one", "Late", "Caps", "bare"));
    Book.Options.TitleSource = TitleSourceKind::FileName;
    FillChapterTitles(Book, Form);
    EXPECT_THAT(Book.ChapterTitles, ElementsAre("a", "late", "caps", "bare"));
    Book.Options.AutoChapterTitles = false;
    FillChapterTitles(Book, Form);
    EXPECT_TRUE(Book.ChapterTitles.empty());
    EXPECT_EQ(Form.Rows[0].Title, "");
}

TEST_F(PublishTest, ImportRefusesPagesFromTwoFoldersAndAsksBeforeReplacingAProject) {
    SaveTextFile(Temp / "other.htm", Page("Other", ""));
    EXPECT_FALSE(ImportWebPages(Book, Form, Ui, {Pages + "/a.htm", Temp / "other.htm"}));
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("other.htm"));
    ASSERT_TRUE(Import({"a.htm"}));
    EXPECT_FALSE(Import({"b.htm"}));  // the question is answered No
    EXPECT_THAT(Ui.Questions,
                ElementsAre("Are you sure to quit this project and begin a new book project?"));
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("a.htm"));
}

TEST(BookNameFromFolder, TakesTheLastFolderOrTheDrive) {
    EXPECT_EQ(BookNameFromFolder("/home/ann/My Book/"), "My Book");
    EXPECT_EQ(BookNameFromFolder("D:\\"), "D");
    EXPECT_EQ(BookNameFromFolder("C:\\books\\war\\"), "war");
}

TEST_F(PublishTest, RefusalsLeaveEverythingAsItWas) {
    EXPECT_FALSE(PublishBook(Book, Form, Ui));
    ASSERT_TRUE(Import({"a.htm", "b.htm"}));
    Form.TitleBox.clear();
    EXPECT_FALSE(PublishBook(Book, Form, Ui));
    // A title of blanks is none: the book would have an empty title, which EPUB 3 refuses.
    Form.TitleBox = " \t ";
    EXPECT_FALSE(PublishBook(Book, Form, Ui));
    Form.TitleBox = "T";
    Form.OutputNameLabel.clear();
    EXPECT_FALSE(PublishBook(Book, Form, Ui));
    Form.OutputNameLabel = "t.epub";
    Book.ChapterTitles.pop_back();
    EXPECT_FALSE(PublishBook(Book, Form, Ui));
    EXPECT_THAT(
        Ui.Messages,
        ElementsAre("Please import webpages or document first", "Please specify the book title",
                    "Please specify the book title", "Please indicate where to save the ePub file",
                    "Please specify chapter titles for each file"));
    EXPECT_THAT(Ui.Focused, ElementsAre("btnImportHtml", "inTitle", "inTitle", "fileList"));
    EXPECT_FALSE(fs::exists(Book.WorkFolder + "mimetype"));
    EXPECT_FALSE(Form.Published);
}

TEST_F(PublishTest, MakesAValidBookWithTheFormsMetadataTwice) {
    ASSERT_TRUE(Import({"a.htm", "b.htm", "chapter.1.htm"}));
    std::swap(Form.Rows[0], Form.Rows[2]);  // the reader's order follows the grid
    Form.TitleBox = "  War <and> Peace ";
    Form.AuthorBox = "   ";
    Book.Options.MakeTitlePage = true;
    ASSERT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
    ASSERT_TRUE(PublishBook(Book, Form, Ui)) << Book.BuildLog;
    EXPECT_EQ(Ui.Messages.back(),
              "Your ePub book has been saved in " + Book.OutputFolder + " as My Pages.epub");
    EXPECT_THAT(Book.BuildLog, HasSubstr("# ePub book My Pages.epub made successfully.\r\n"
                                         "# File saved at " +
                                         Book.OutputFolder + "My Pages.epub"));
    EXPECT_TRUE(Form.Published);
    const std::string opf = Opf();
    EXPECT_THAT(opf, HasSubstr("<dc:title>War &lt;and&gt; Peace</dc:title>"));
    EXPECT_THAT(opf, HasSubstr("Anonymous Author"));
    EXPECT_THAT(opf, HasSubstr("Unknown publisher"));
    EXPECT_LT(opf.find("href=\"chapter.1.htm\""), opf.find("href=\"a.htm\""));
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
}

TEST_F(PublishTest, AMissingChapterIsNamedAndLeftOut) {
    ASSERT_TRUE(Import({"a.htm", "b.htm"}));
    fs::remove(Pages + "/b.htm");
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    EXPECT_THAT(Ui.Messages.front(), HasSubstr("b.htm does not exist"));
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("It was made without these missing chapters: b.htm"));
    EXPECT_THAT(Opf(), Not(HasSubstr("b.htm")));
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("a.htm", "b.htm"));  // the project keeps it
}

TEST_F(PublishTest, AChapterListedTwiceIsTakenOnceAndTheBookStaysValid) {
    ASSERT_TRUE(Import({"a.htm", "b.htm"}));
    Form.Rows.push_back(Form.Rows.front());
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    const std::string opf = Opf();
    EXPECT_EQ(opf.find("href=\"a.htm\""), opf.rfind("href=\"a.htm\""));
    EXPECT_LT(opf.find("href=\"a.htm\""), opf.find("href=\"b.htm\""));
    EXPECT_THAT(Book.BuildLog, HasSubstr("a.htm is listed more than once"));
    EXPECT_THAT(Ui.Messages, Each(Not(HasSubstr("does not exist"))));
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("a.htm", "b.htm", "a.htm"));  // the grid's list
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
}

TEST_F(PublishTest, ImagesTheBookCannotHoldGiveWayToTheirAltText) {
    SaveTextFile(Pages + "/images/here.png", kPng);
    SaveTextFile(Pages + "/pics.htm",
                 Page("Pics",
                      "<p><img src=\"images/here.png\" alt=\"Here\"> <img "
                      "src=\"images/gone.png\" alt=\"Gone\"> <img src=\"../x.png\"> "
                      "<img src=\"http://example.org/a.png\" alt=\"Web\"></p>"));
    ASSERT_TRUE(Import({"pics.htm"}));
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    const std::string chapter = LoadTextFile(Book.OpsFolder + "pics.htm");
    EXPECT_THAT(chapter, HasSubstr("<img src=\"images/here.png\" alt=\"Here\" /> Gone  Web"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("pics.htm: the image \"images/gone.png\" is not in the "
                                         "book; its alt text stands in its place"));
    EXPECT_THAT(Opf(), HasSubstr("href=\"images/here.png\""));
}

TEST_F(PublishTest, ResourcesBesideThePagesFolderReachTheBook) {
    // "My Pages" is the pages' folder; its parent, the default root, holds the sibling "static".
    const std::string root = fs::path(Pages).parent_path();
    fs::create_directories(root + "/static/fonts");
    SaveTextFile(root + "/static/logo.png", kPng);
    SaveTextFile(root + "/static/font.ttf", std::string("\0\1\0\0rest", 8));
    SaveTextFile(root + "/static/main.css",
                 "@import \"more.css\";\n@import \"gone.css\";\n"
                 "@font-face { font-family: F; src: url(font.ttf) }\n"
                 "h1 { font-family: F; background: url(logo.png) }");
    SaveTextFile(root + "/static/more.css", "p { color: navy }");
    SaveTextFile(root + "/secret.png", "not even a picture");
    SaveTextFile(Pages + "/pics.htm",
                 "<html><head><title>P</title><link rel=\"stylesheet\" "
                 "href=\"../static/main.css\"></head><body><h1>Pics</h1><p><img "
                 "src=\"../static/logo.png\" alt=\"Logo\"> <img src=\"../secret.png\" "
                 "alt=\"Secret\"> <img src=\"/etc/hostname\" alt=\"Host\"></p></body></html>");
    ASSERT_TRUE(Import({"pics.htm"}));
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    // Made again, the book has the same paths and nothing of the first making.
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    EXPECT_FALSE(fs::exists(Book.OpsFolder + "root-2"));

    const std::string chapter = LoadTextFile(Book.OpsFolder + "pics.htm");
    EXPECT_THAT(chapter, HasSubstr("<img src=\"root/static/logo.png\" alt=\"Logo\" />"));
    EXPECT_THAT(chapter, HasSubstr("href=\"root/static/main.css\""));
    EXPECT_THAT(chapter, Not(HasSubstr("secret")));
    const std::string opf = Opf();
    EXPECT_THAT(opf, HasSubstr("href=\"root/static/main.css\" media-type=\"text/css\""));
    EXPECT_THAT(opf, HasSubstr("href=\"root/static/more.css\" media-type=\"text/css\""));
    EXPECT_THAT(opf, HasSubstr("href=\"root/static/logo.png\" media-type=\"image/png\""));
    EXPECT_THAT(opf,
                HasSubstr("href=\"root/static/font.ttf\" media-type=\"application/x-font-ttf\""));
    EXPECT_THAT(opf, Not(HasSubstr("secret")));
    // The final message counts what was left out and why; the book is still made.
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("Your ePub book has been saved"));
    EXPECT_THAT(Ui.Messages.back(),
                HasSubstr("Left out of the book: 2 pictures (2 refused) and 1 style sheet (1 "
                          "missing); among them gone.css (the file is missing), ../secret.png (its "
                          "content is not image/png)"));
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
}

TEST_F(PublishTest, AResourceRootAtThePagesFolderRefusesTheSiblingFolder) {
    const std::string root = fs::path(Pages).parent_path();
    fs::create_directories(root + "/static");
    SaveTextFile(root + "/static/logo.png", kPng);
    SaveTextFile(Pages + "/pics.htm",
                 Page("P", "<p><img src=\"../static/logo.png\" alt=\"Logo\"></p>"));
    ASSERT_TRUE(Import({"pics.htm"}));
    Book.ResourceRoot = Pages;
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "pics.htm"), HasSubstr("<p>Logo</p>"));
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("1 picture (1 refused)"));
}

}  // namespace
}  // namespace quirebook
