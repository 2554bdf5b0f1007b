#include "epub/BuildEpub.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "PackageFixture.h"
#include "RecordingUserInterface.h"
#include "html/BookOutline.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using testing::PackageFixture;

const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00"
    "\x00\x01\x08\x00\x00\x00\x00\x3a\x7e\x9b\x55\x00\x00\x00\x0a\x49\x44\x41\x54\x78\x9c\x63"
    "\x60\x00\x00\x00\x02\x00\x01\x48\xaf\xa4\x71\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60"
    "\x82",
    67);

std::string Chapter(const std::string& title, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
           "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>" +
           title +
           "</title><link rel=\"stylesheet\" type=\"text/css\" href=\"css/book.css\"/></head>"
           "<body>" +
           body + "</body></html>";
}

// A whole book from the templates: two chapters with headings, a picture in a subfolder, a
// linked style sheet, a cover and a title page.
class BuildEpubTest : public PackageFixture {
  protected:
    BuildEpubTest() {
        SaveTextFile(Book.SourceFolder + "images/a.png", kPng);
        SaveTextFile(Book.OpsFolder + "one.htm",
                     Chapter("One",
                             "<h1>Chapter One &amp; more</h1><p>Text <img "
                             "src=\"images/a.png\" alt=\"a\"/></p><h2>A part</h2><p>x</p>"
                             "<h3>Deeper</h3><p>y</p>"));
        SaveTextFile(Book.OpsFolder + "two.htm",
                     Chapter("Two",
                             "<h1>Chapter Two</h1><p>z</p><h2>Caf\xC3\xA9 au lait et "
                             "croissants du matin</h2><p>w</p>"));
        Book.ImageFiles = {"images/a.png"};
        Book.StyleSheetFiles = {"css/book.css"};
        Book.CoverPicture = Temp / "cover.png";
        SaveTextFile(Book.CoverPicture, kPng);
        SaveTextFile(Book.OpsFolder + "cover.png", kPng);
        Book.Options.MakeTitlePage = true;
        Book.Options.TocFromHeadings = true;
        Book.OutputPath = Book.OutputFolder + "book.epub";
        WriteCoverPage(Book);
        WriteTitlePage(Book);
    }
};

TEST_F(BuildEpubTest, MakesABookThatPassesEpubCheck) {
    // The table of contents the publishing flow makes of the chapters' headings.
    ChapterTexts texts = LoadChapterTexts(Book);
    Book.HeadingEntries = OutlineBook(Book, texts);
    SaveChapterTexts(Book, texts);
    ASSERT_EQ(Book.HeadingEntries.size(), 7u);
    ASSERT_TRUE(BuildEpub(Book)) << Book.BuildLog;
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "toc.ncx"), HasSubstr("one.htm#a3"));
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
    EXPECT_THAT(check.Output, HasSubstr("No errors or warnings detected"));
}

TEST_F(BuildEpubTest, AlsoWithoutCoverTitlePageOrIdentifier) {
    Book.CoverPicture.clear();
    std::filesystem::remove(Book.OpsFolder + "cover.png");
    std::filesystem::remove(Book.OpsFolder + "coverpage.htm");
    std::filesystem::remove(Book.OpsFolder + "titlepage.htm");
    Book.Options.MakeTitlePage = false;
    Book.Options.TocFromHeadings = false;
    Book.BookMetadata.Identifier.clear();
    ASSERT_TRUE(BuildEpub(Book)) << Book.BuildLog;
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
}

TEST_F(BuildEpubTest, AFailureIsLoggedAndKeepsTheOldBook) {
    SaveTextFile(Book.OutputPath, "old book");
    std::filesystem::remove(Book.WorkFolder + "mimetype");
    EXPECT_FALSE(BuildEpub(Book));
    EXPECT_THAT(Book.BuildLog, HasSubstr("mimetype"));
    EXPECT_EQ(LoadTextFile(Book.OutputPath), "old book");
}

TEST_F(BuildEpubTest, RecompilePacksTheEditedWorkFolderAgain) {
    ASSERT_TRUE(BuildEpub(Book));
    SaveTextFile(Book.OpsFolder + "two.htm", Chapter("Two", "<p>edited</p>"));
    testing::RecordingUserInterface ui;
    RecompileBook(Book, ui);
    EXPECT_THAT(ui.Messages, ::testing::ElementsAre("ePub re-compiled successfully."));
}

}  // namespace
}  // namespace quirebook
