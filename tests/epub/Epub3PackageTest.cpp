// The EPUB 3 package: what chapters are scanned for, the metadata claimed from it, the package
// document made from the template, and the package and navigation writers on a literal book.
#include "epub/Epub3Package.h"

#include <filesystem>
#include <regex>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "PackageFixture.h"
#include "epub/NavigationDocument.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::PackageFixture;

TEST(ScanChapter, FindsInlineSvgAndMathButNotNamesThatOnlyBeginSo) {
    EXPECT_TRUE(ScanChapter("<p><svg viewBox=\"0 0 1 1\"/></p>").Svg);
    EXPECT_TRUE(ScanChapter("<svg>").Svg);
    EXPECT_FALSE(ScanChapter("<svgx/><p>svg</p><img src=\"a.svg\" alt=\"\"/>").Svg);
    EXPECT_TRUE(ScanChapter("<math xmlns=\"http://www.w3.org/1998/Math/MathML\">").MathMl);
    EXPECT_FALSE(ScanChapter("<mathematics/>").MathMl);
    EXPECT_EQ(ItemProperties(ScanChapter("<svg/><math/>")), " properties=\"svg mathml\"");
    EXPECT_EQ(ItemProperties(ScanChapter("<math/>")), " properties=\"mathml\"");
    EXPECT_EQ(ItemProperties(ScanChapter("<p>plain</p>")), "");
}

TEST(ScanChapter, CountsPicturesAndThoseWithATextAlternative) {
    const ChapterFeatures features = ScanChapter(
        "<img src=\"a.png\" alt=\"A kite\" /><IMG SRC='b.png' ALT='Tail'>"
        "<img src=\"c.png\" alt=\"\" /><img src=\"d.png\" alt=\"  \" /><img src=\"e.png\" />"
        "<imgx alt=\"not a picture\"/>");
    EXPECT_EQ(features.Pictures, 5u);
    EXPECT_EQ(features.PicturesWithText, 2u);
}

TEST(ModifiedTime, IsUtcToTheSecondWithZ) {
    EXPECT_EQ(ModifiedTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(ModifiedTime(1700000000), "2023-11-14T22:13:20Z");
}

// The values of every meta element with `property` in `metadata`.
std::vector<std::string> Claims(const std::string& metadata, const std::string& property) {
    std::vector<std::string> values;
    const std::regex meta("<meta property=\"" + property + "\">([^<]*)</meta>");
    for (auto it = std::sregex_iterator(metadata.begin(), metadata.end(), meta);
         it != std::sregex_iterator(); ++it)
        values.push_back((*it)[1]);
    return values;
}

TEST(Epub3Metadata, ClaimsOnlyWhatTheBookHolds) {
    BookFeatures text{{}, 3, false};
    std::string metadata = Epub3Metadata(text, "2026-01-02T03:04:05Z");
    EXPECT_THAT(Claims(metadata, "dcterms:modified"), ElementsAre("2026-01-02T03:04:05Z"));
    EXPECT_THAT(Claims(metadata, "schema:accessMode"), ElementsAre("textual"));
    EXPECT_THAT(Claims(metadata, "schema:accessModeSufficient"), ElementsAre("textual"));
    EXPECT_THAT(Claims(metadata, "schema:accessibilityFeature"), ElementsAre("tableOfContents"));
    EXPECT_THAT(Claims(metadata, "schema:accessibilityHazard"), ElementsAre("unknown"));
    EXPECT_THAT(Claims(metadata, "schema:accessibilitySummary"),
                ElementsAre("Text in 3 chapters, with a table of contents and no pictures in "
                            "the text."));

    BookFeatures described{{false, false, 2, 2}, 1, true};
    metadata = Epub3Metadata(described, "2026-01-02T03:04:05Z");
    EXPECT_THAT(Claims(metadata, "schema:accessMode"), ElementsAre("textual", "visual"));
    EXPECT_THAT(Claims(metadata, "schema:accessModeSufficient"),
                ElementsAre("textual", "textual,visual"));
    EXPECT_THAT(Claims(metadata, "schema:accessibilityFeature"),
                ElementsAre("tableOfContents", "alternativeText"));
    EXPECT_THAT(Claims(metadata, "schema:accessibilitySummary"),
                ElementsAre("Text in 1 chapter, with a table of contents; each of its 2 "
                            "pictures has a text alternative. The cover is a picture."));

    // One picture without alt text: neither text alone nor alternative text is claimed.
    BookFeatures partly{{false, false, 3, 2}, 2, false};
    metadata = Epub3Metadata(partly, "2026-01-02T03:04:05Z");
    EXPECT_THAT(Claims(metadata, "schema:accessModeSufficient"), ElementsAre("textual,visual"));
    EXPECT_THAT(Claims(metadata, "schema:accessibilityFeature"), ElementsAre("tableOfContents"));
    EXPECT_THAT(metadata, HasSubstr("2 of its 3 pictures have a text alternative."));
}

TEST(Epub3PackageDocument, MakesTheTemplateVersionThreeWithTheRoleAsARefinement) {
    const std::string opf = Epub3PackageDocument(
        LoadTextFile(QUIREBOOK_SOURCE_DIR "/data/lib/OPS/content.opf") +
        "<dc:contributor opf:role=\"edt\" opf:file-as=\"B, A\">A B</dc:contributor>");
    EXPECT_THAT(opf, HasSubstr("<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\""));
    EXPECT_THAT(opf, HasSubstr("<dc:creator id=\"creator\">$$creator$$</dc:creator>"));
    EXPECT_THAT(opf, HasSubstr("<meta refines=\"#creator\" property=\"role\" "
                               "scheme=\"marc:relators\">aut</meta>"));
    EXPECT_THAT(opf, HasSubstr("<dc:contributor>A B</dc:contributor>"));
    EXPECT_THAT(opf, Not(HasSubstr("opf:role")));
    EXPECT_THAT(opf, HasSubstr("xmlns:opf="));  // the namespace declaration stays
}

TEST(WithHtml5DocumentType, ReplacesTheXhtmlDocumentTypeOnly) {
    const std::string page =
        WithHtml5DocumentType(LoadTextFile(QUIREBOOK_SOURCE_DIR "/data/lib/OPS/titlepage.htm"));
    EXPECT_THAT(
        page, HasSubstr("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE html>\r\n<html"));
    EXPECT_THAT(page, Not(HasSubstr("DTD")));
}

// The package and navigation writers of a book made EPUB 3.
class Epub3WritersTest : public PackageFixture {
  protected:
    Epub3WritersTest() { Book.Options.EpubVersion = 3; }

    pugi::xml_document Load(const std::string& name) {
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_file((Book.OpsFolder + name).c_str());
        EXPECT_TRUE(parsed) << name << ": " << parsed.description();
        return document;
    }
    // Every (label, target) of the NCX, in order.
    std::vector<std::pair<std::string, std::string>> NcxEntries() {
        std::vector<std::pair<std::string, std::string>> entries;
        const pugi::xml_document ncx = Load("toc.ncx");
        for (const pugi::xpath_node& point : ncx.select_nodes("//navPoint"))
            entries.emplace_back(point.node().child("navLabel").child_value("text"),
                                 point.node().child("content").attribute("src").value());
        return entries;
    }
    // Every (label, target) of the navigation document's toc, in order, and its nesting.
    std::vector<std::pair<std::string, std::string>> NavEntries() {
        std::vector<std::pair<std::string, std::string>> entries;
        const pugi::xml_document nav = Load("nav.xhtml");
        for (const pugi::xpath_node& link : nav.select_nodes("//nav[@epub:type='toc']//a"))
            entries.emplace_back(link.node().child_value(), link.node().attribute("href").value());
        return entries;
    }
};

TEST_F(Epub3WritersTest, ThePackageIsVersionThreeWithNavigationCoverAndModifiedTime) {
    AddCover();
    Book.Options.MakeTitlePage = true;
    SaveTextFile(Book.OpsFolder + "two.htm",
                 "<p><svg viewBox=\"0 0 1 1\"/><img src=\"a.png\"/></p>");
    WriteContentOpf(Book);
    const pugi::xml_document opf = Load("content.opf");
    const pugi::xml_node package = opf.child("package");
    EXPECT_STREQ(package.attribute("version").value(), "3.0");
    const std::string modified =
        package.child("metadata")
            .find_child_by_attribute("meta", "property", "dcterms:modified")
            .child_value();
    EXPECT_TRUE(
        std::regex_match(modified, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ")))
        << modified;
    EXPECT_TRUE(package.child("metadata").find_child_by_attribute("meta", "name", "cover"));
    const pugi::xml_node manifest = package.child("manifest");
    EXPECT_STREQ(
        manifest.find_child_by_attribute("item", "id", "coverPic").attribute("properties").value(),
        "cover-image");
    const pugi::xml_node nav = manifest.find_child_by_attribute("item", "properties", "nav");
    EXPECT_STREQ(nav.attribute("href").value(), "nav.xhtml");
    EXPECT_STREQ(
        manifest.find_child_by_attribute("item", "id", "n1").attribute("properties").value(),
        "svg");
    EXPECT_TRUE(
        manifest.find_child_by_attribute("item", "id", "n0").attribute("properties").empty());
    EXPECT_STREQ(
        manifest.find_child_by_attribute("item", "id", "coverpage").attribute("href").value(),
        "coverpage.xhtml");
    // The navigation document is not read twice: it is not in the reading order.
    std::vector<std::string> spine;
    for (pugi::xml_node itemref : package.child("spine").children("itemref"))
        spine.push_back(itemref.attribute("idref").value());
    EXPECT_THAT(spine, ElementsAre("coverpage", "titlepage", "n0", "n1"));
    EXPECT_STREQ(package.child("spine").attribute("toc").value(), "ncx");
    // The picture without alt text: the book claims no alternative text.
    const std::string text = LoadTextFile(Book.OpsFolder + "content.opf");
    EXPECT_THAT(text, Not(HasSubstr("alternativeText")));
    EXPECT_THAT(text, HasSubstr("<meta property=\"schema:accessMode\">visual</meta>"));
}

TEST_F(Epub3WritersTest, TheNavigationDocumentListsTheNcxEntriesNestedAsTheHeadings) {
    Book.Options.TocFromHeadings = true;
    Book.HeadingEntries = {{"Part", 1, 0, 0, ""},   {"First", 2, 0, 1, "a1"},
                           {"Deep", 3, 0, 2, "a2"}, {"Next &amp; last", 2, 0, 3, "a3"},
                           {"Two", 1, 1, 0, ""},    {"Second", 2, 1, 1, "s"}};
    WriteTocNcx(Book);
    EXPECT_EQ(NavEntries(), NcxEntries());
    EXPECT_THAT(NavEntries(),
                ElementsAre(std::pair<std::string, std::string>("Part", "one.htm"),
                            std::pair<std::string, std::string>("First", "one.htm#a1"),
                            std::pair<std::string, std::string>("Deep", "one.htm#a2"),
                            std::pair<std::string, std::string>("Next & last", "one.htm#a3"),
                            std::pair<std::string, std::string>("Two", "two.htm"),
                            std::pair<std::string, std::string>("Second", "two.htm#s")));
    const pugi::xml_document nav = Load("nav.xhtml");
    // "Deep" lies two lists down in "Part"; "Second" nests under "Two".
    EXPECT_EQ(nav.select_nodes("//nav[@epub:type='toc']/ol/li").size(), 2u);
    EXPECT_STREQ(
        nav.select_node("//nav[@epub:type='toc']/ol/li[1]/ol/li/ol/li/a").node().child_value(),
        "Deep");
    EXPECT_STREQ(nav.select_node("//nav[@epub:type='toc']/ol/li[2]/ol/li/a").node().child_value(),
                 "Second");
    const std::string ncx = LoadTextFile(Book.OpsFolder + "toc.ncx");
    EXPECT_THAT(ncx, Not(HasSubstr("<!DOCTYPE")));
    EXPECT_THAT(ncx, HasSubstr("<meta name=\"dtb:depth\" content=\"3\" />"));
    EXPECT_THAT(ncx, Not(HasSubstr("<navList")));

    // A book's titled tables: a list of its own in both navigations.
    Book.HeadingEntries.push_back({"Sizes", 1, 1, 1, "t1", NavigationList::Tables});
    WriteTocNcx(Book);
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "toc.ncx"),
                HasSubstr("<content src=\"two.htm#t1\"/>\r\n\t</navTarget>\r\n</navList>\r\n"
                          "</ncx>"));
    const pugi::xml_document withTables = Load("nav.xhtml");
    EXPECT_STREQ(withTables.select_node("//nav[@epub:type='lot']/ol/li/a").node().child_value(),
                 "Sizes");
    EXPECT_EQ(withTables.select_nodes("//nav[@epub:type='toc']//a").size(), 6u);
}

TEST_F(Epub3WritersTest, LandmarksNameOnlyThePagesTheBookHolds) {
    WriteTocNcx(Book);
    pugi::xml_document nav = Load("nav.xhtml");
    std::vector<std::string> types;
    for (const pugi::xpath_node& link : nav.select_nodes("//nav[@epub:type='landmarks']//a"))
        types.push_back(std::string(link.node().attribute("epub:type").value()) + " " +
                        link.node().attribute("href").value());
    EXPECT_THAT(types, ElementsAre("bodymatter one.htm"));

    AddCover();
    Book.Options.MakeTitlePage = true;
    WriteTocNcx(Book);
    nav = Load("nav.xhtml");
    types.clear();
    for (const pugi::xpath_node& link : nav.select_nodes("//nav[@epub:type='landmarks']//a"))
        types.push_back(std::string(link.node().attribute("epub:type").value()) + " " +
                        link.node().attribute("href").value());
    EXPECT_THAT(types, ElementsAre("cover coverpage.xhtml", "titlepage titlepage.xhtml",
                                   "bodymatter one.htm"));
}

TEST_F(Epub3WritersTest, AChapterCalledNavXhtmlKeepsItsNameAndAnEmptyTitleItsLink) {
    Book.ChapterFiles = {"nav.xhtml", "b&c.htm"};
    Book.ChapterTitles = {"", "B and C"};
    SaveTextFile(Book.OpsFolder + "nav.xhtml", "<p>chapter</p>");
    EXPECT_EQ(NavigationDocumentName(Book), "nav-2.xhtml");
    WriteContentOpf(Book);
    WriteTocNcx(Book);
    EXPECT_EQ(LoadTextFile(Book.OpsFolder + "nav.xhtml"), "<p>chapter</p>");
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "content.opf"),
                HasSubstr("href=\"nav-2.xhtml\" media-type=\"application/xhtml+xml\" "
                          "properties=\"nav\""));
    const pugi::xml_document nav = Load("nav-2.xhtml");
    const pugi::xpath_node_set links = nav.select_nodes("//nav[@epub:type='toc']//a");
    ASSERT_EQ(links.size(), 2u);
    EXPECT_STREQ(links[0].node().child_value(), "nav.xhtml");  // no title: the file's name
    EXPECT_STREQ(links[1].node().attribute("href").value(), "b&c.htm");
}

TEST_F(Epub3WritersTest, AnEpubTwoBookGetsNoneOfIt) {
    Book.Options.EpubVersion = 2;
    AddCover();
    WriteContentOpf(Book);
    WriteTocNcx(Book);
    WriteCoverPage(Book);
    EXPECT_FALSE(fs::exists(Book.OpsFolder + "nav.xhtml"));
    EXPECT_TRUE(fs::exists(Book.OpsFolder + "coverpage.htm"));
    const std::string opf = LoadTextFile(Book.OpsFolder + "content.opf");
    EXPECT_THAT(opf, HasSubstr("version=\"2.0\""));
    EXPECT_THAT(opf, HasSubstr("opf:role=\"aut\""));
    EXPECT_THAT(opf, Not(HasSubstr("property=")));
    EXPECT_THAT(opf, Not(HasSubstr("properties=")));
    EXPECT_THAT(LoadTextFile(Book.OpsFolder + "toc.ncx"), HasSubstr("<!DOCTYPE ncx"));
}

}  // namespace
}  // namespace quirebook
