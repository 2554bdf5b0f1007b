#include "epub/PackageDocuments.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "PackageFixture.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::PackageFixture;

// The values of `attribute` on every element `name` under the package's `parent`, in order.
std::vector<std::string> Attributes(const pugi::xml_document& opf, const char* parent,
                                    const char* name, const char* attribute) {
    std::vector<std::string> values;
    for (pugi::xml_node node : opf.child("package").child(parent).children(name))
        values.push_back(node.attribute(attribute).value());
    return values;
}

class WriteContentOpfTest : public PackageFixture {
  protected:
    pugi::xml_document Write() {
        WriteContentOpf(Book);
        pugi::xml_document opf;
        const pugi::xml_parse_result parsed =
            opf.load_file((Book.OpsFolder + "content.opf").c_str());
        EXPECT_TRUE(parsed) << parsed.description();
        return opf;
    }
};

TEST_F(WriteContentOpfTest, ListsChaptersAloneWithoutCoverOrTitlePage) {
    const pugi::xml_document opf = Write();
    EXPECT_THAT(Attributes(opf, "manifest", "item", "id"), ElementsAre("ncx", "n0", "n1"));
    EXPECT_THAT(Attributes(opf, "spine", "itemref", "idref"), ElementsAre("n0", "n1"));
    EXPECT_TRUE(opf.child("package").child("guide").empty());
    const pugi::xml_node metadata = opf.child("package").child("metadata");
    EXPECT_STREQ(metadata.child_value("dc:title"), "Tom & Jerry");  // escaped once, by the caller
    EXPECT_STREQ(metadata.child_value("dc:language"), "en");
    EXPECT_TRUE(metadata.child("dc:subject").empty());  // empty optional metadata is left out
    EXPECT_EQ(std::string(metadata.child_value("dc:date")).size(), 10u);
}

TEST_F(WriteContentOpfTest, OrdersCoverTitlePageChaptersSheetsAndImages) {
    AddCover();
    Book.Options.MakeTitlePage = true;
    Book.ReplacementStyleSheet = Temp / "mine.css";
    Book.StyleSheetFiles = {"css/book.css"};
    Book.ImageFiles = {"images/a.png", "images\\missing.gif", "images/b.svg"};
    const pugi::xml_document opf = Write();

    EXPECT_THAT(Attributes(opf, "manifest", "item", "id"),
                ElementsAre("ncx", "coverpage", "titlepage", "n0", "n1", "style", "css0",
                            "coverPic", "img0", "img2"));
    EXPECT_THAT(
        Attributes(opf, "manifest", "item", "media-type"),
        ElementsAre("application/x-dtbncx+xml", "application/xhtml+xml", "application/xhtml+xml",
                    "application/xhtml+xml", "application/xhtml+xml", "text/css", "text/css",
                    "image/jpeg", "image/png", "image/svg+xml"));
    EXPECT_THAT(Attributes(opf, "spine", "itemref", "idref"),
                ElementsAre("coverpage", "titlepage", "n0", "n1"));
    EXPECT_THAT(Attributes(opf, "guide", "reference", "href"), ElementsAre("coverpage.htm"));
    EXPECT_THAT(Attributes(opf, "metadata", "meta", "content"), ElementsAre("coverPic"));
    // The listed resources are copied into the book; the missing one is logged.
    EXPECT_EQ(LoadTextFile(Book.OpsFolder + "images/b.svg"), "<svg/>");
    EXPECT_EQ(LoadTextFile(Book.OpsFolder + "css/book.css"), "p{}");
    EXPECT_THAT(Book.BuildLog, HasSubstr("images/missing.gifdoes not exist\r\n"));
}

TEST_F(WriteContentOpfTest, TheTitlePageServesAsCoverWhenThereIsNoCover) {
    Book.Options.MakeTitlePage = true;
    const pugi::xml_document opf = Write();
    EXPECT_THAT(Attributes(opf, "guide", "reference", "href"), ElementsAre("titlepage.htm"));
    EXPECT_THAT(Attributes(opf, "spine", "itemref", "idref"), ElementsAre("titlepage", "n0", "n1"));
}

TEST_F(WriteContentOpfTest, EscapesChapterNamesAndListsEachFileOnce) {
    Book.ChapterFiles = {"a&b.htm"};
    SaveTextFile(Book.OpsFolder + "a&b.htm", "<html/>");
    AddCover();
    Book.ImageFiles = {"cover.jpg", "images/a.png", "images/a.png"};
    const pugi::xml_document opf = Write();
    EXPECT_THAT(Attributes(opf, "manifest", "item", "href"),
                ElementsAre("toc.ncx", "coverpage.htm", "a&b.htm", "cover.jpg", "images/a.png"));
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "content.opf"), HasSubstr("href=\"a&amp;b.htm\""));
}

TEST_F(WriteContentOpfTest, NeverCopiesFromOutsideTheSourceFolder) {
    SaveTextFile(Temp / "secret.png", "secret");
    fs::create_symlink(Temp / "secret.png", Book.SourceFolder + "link.png");
    Book.ImageFiles = {"../secret.png", "/etc/hostname", "link.png", "images/a.png"};
    const pugi::xml_document opf = Write();
    EXPECT_THAT(Attributes(opf, "manifest", "item", "id"), ElementsAre("ncx", "n0", "n1", "img3"));
    EXPECT_FALSE(fs::exists(Book.WorkFolder + "secret.png"));
    EXPECT_FALSE(fs::exists(Book.OpsFolder + "link.png"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("../secret.png lies outside the book, left out"));
}

TEST_F(WriteContentOpfTest, GivesABookWithoutIdentifierAUuidSharedWithTheNcx) {
    Book.BookMetadata.Identifier.clear();
    const pugi::xml_document opf = Write();
    const std::string identifier =
        opf.child("package").child("metadata").child_value("dc:identifier");
    EXPECT_THAT(identifier, ::testing::MatchesRegex(
                                "urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-"
                                "[0-9a-f]{12}"));
    WriteTocNcx(Book);
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "toc.ncx"),
                HasSubstr("<meta name=\"dtb:uid\" content=\"" + identifier + "\""));
    EXPECT_NE(NewBookIdentifier(), NewBookIdentifier());
}

TEST_F(WriteContentOpfTest, ABrokenTemplateIsAnError) {
    Book.TemplateFolder = Temp / "broken/";
    fs::create_directories(Book.TemplateFolder + "OPS");
    SaveTextFile(Book.TemplateFolder + "OPS/content.opf", "<package></package>");
    EXPECT_THROW(WriteContentOpf(Book), TemplateError);
}

TEST_F(PackageFixture, WriteTocNcxMakesOneFlatPointPerChapter) {
    Book.ChapterTitles = {"One &amp; only", "Two"};
    WriteTocNcx(Book);
    pugi::xml_document ncx;
    ASSERT_TRUE(ncx.load_file((Book.OpsFolder + "toc.ncx").c_str()));
    const pugi::xml_node navMap = ncx.child("ncx").child("navMap");
    std::vector<std::string> labels;
    std::vector<std::string> orders;
    for (pugi::xml_node point : navMap.children("navPoint")) {
        labels.push_back(point.child("navLabel").child_value("text"));
        orders.push_back(point.attribute("playOrder").value());
        EXPECT_TRUE(point.child("navPoint").empty());
    }
    EXPECT_THAT(labels, ElementsAre("One & only", "Two"));
    EXPECT_THAT(orders, ElementsAre("1", "2"));
    EXPECT_STREQ(ncx.child("ncx").child("docTitle").child_value("text"), "Tom & Jerry");
    EXPECT_THAT(Book.BuildLog, HasSubstr("Making TOC\r\n"));
}

TEST_F(PackageFixture, WriteTocNcxFallsBackToChaptersWithoutEntriesFromHeadings) {
    Book.Options.TocFromHeadings = true;
    WriteTocNcx(Book);
    const std::string ncx = LoadTextFile(Book.OpsFolder + "toc.ncx");
    EXPECT_THAT(ncx, HasSubstr("<content src=\"one.htm\" />"));
    EXPECT_THAT(ncx, HasSubstr("<meta name=\"dtb:depth\" content=\"1\" />"));
}

TEST_F(PackageFixture, CoverAndTitlePagesComeFromTheirTemplates) {
    AddCover();
    WriteCoverPage(Book);
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "coverpage.htm"),
                HasSubstr("<div>\r\n<img src=\"cover.jpg\" alt=\"Cover Image\" "
                          "style=\"height: 100%\"/>\r\n</div>\r\n</body>"));
    WriteTitlePage(Book);
    const std::string title = LoadTextFile(Book.OpsFolder + "titlepage.htm");
    EXPECT_THAT(title, HasSubstr("Tom &amp; Jerry"));
    EXPECT_THAT(title, HasSubstr("Anonymous Author"));
    EXPECT_THAT(title, Not(HasSubstr("$$")));
}

TEST(ImageMediaSubtype, MapsEveryImageExtensionToItsMediaType) {
    EXPECT_EQ(ImageMediaSubtype("a.JPG"), "jpeg");
    EXPECT_EQ(ImageMediaSubtype("dir.v2/a.jpe"), "jpeg");
    EXPECT_EQ(ImageMediaSubtype("a.jpeg"), "jpeg");
    EXPECT_EQ(ImageMediaSubtype("a.png"), "png");
    EXPECT_EQ(ImageMediaSubtype("a.gif"), "gif");
    EXPECT_EQ(ImageMediaSubtype("a.svg"), "svg+xml");
    EXPECT_EQ(ImageMediaSubtype("a.bmp"), "bmp");
    EXPECT_EQ(ImageMediaSubtype("a.webp"), "webp");
    EXPECT_EQ(ImageMediaSubtype("a.tif"), "tiff");
}

}  // namespace
}  // namespace quirebook
