// Pictures of a Word document in its filtered web page: copied once each into the folder beside
// the page under names made here, with their size and description; kinds a page cannot show,
// and charts, leave their description.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/TextFiles.h"
#include "word/docx/PageConversion.h"
#include "word/docx/PictureStore.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::BodyOf;
using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::Relationship;
using testing::TempFolder;
using ::testing::UnorderedElementsAre;

const std::string kPng = std::string("\x89PNG\r\n\x1A\n", 8) + "png bytes";
const std::string kJpeg = "\xFF\xD8\xFF\xE0jpeg bytes";
const std::string kMetafile = std::string("\x01\x00\x00\x00", 4) + "emf bytes";

std::string Drawing(const std::string& id, const std::string& description) {
    return "<w:r><w:drawing><wp:inline><wp:extent cx=\"952500\" cy=\"476250\"/><wp:docPr id=\"1\" "
           "name=\"Picture\" descr=\"" +
           description +
           "\"/><a:graphic><a:graphicData><pic:pic>"
           "<pic:blipFill><a:blip r:embed=\"" +
           id +
           "\"/></pic:blipFill></pic:pic></a:graphicData>"
           "</a:graphic></wp:inline></w:drawing></w:r>";
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(FilteredWebPagePictures, AreCopiedOnceUnderNamesOfTheirOwn) {
    const std::string relationships =
        Relationship("rIdPng", "image", "media/image1.png") +
        Relationship("rIdJpeg", "image", "media/photo.jpeg") +
        Relationship("rIdEmf", "image", "media/chart.emf") +
        Relationship("rIdFake", "image", "media/fake.png") +
        Relationship("rIdFar", "image", "http://example.org/x.png", true);
    const std::string body =
        "<w:p>" + Drawing("rIdPng", "A kite &amp; its string") + Drawing("rIdJpeg", "") +
        Drawing("rIdPng", "Again") + Drawing("rIdEmf", "Sales chart") + Drawing("rIdFake", "") +
        Drawing("rIdFar", "Far away") + Drawing("rIdMissing", "") +
        "<w:r><w:pict><v:shape style=\"position:absolute;width:72pt;height:.5in\" alt=\"Old\">"
        "<v:imagedata "
        "r:id=\"rIdPng\"/></v:shape></w:pict></w:r><w:r><w:drawing><wp:inline><wp:docPr "
        "id=\"9\" descr=\"Sales by month\"/><a:graphic><a:graphicData><c:chart r:id=\"rIdChart\"/>"
        "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>";
    const TempFolder folder;
    const auto page = ConvertParts(folder,
                                   DocumentParts(body, relationships,
                                                 {{"word/media/image1.png", kPng},
                                                  {"word/media/photo.jpeg", kJpeg},
                                                  {"word/media/chart.emf", kMetafile},
                                                  {"word/media/fake.png", "not a picture"}}),
                                   "my book.htm");
    EXPECT_EQ(page.Counts.Pictures, 2);
    EXPECT_THAT(
        BodyOf(page.Html),
        HasSubstr(
            "<p class=MsoNormal><img width=100 height=50 src=\"my%20book_files/image001.png\" "
            "alt=\"A kite &amp; its string\"><img width=100 height=50 "
            "src=\"my%20book_files/image002.jpg\">"
            "<img width=100 height=50 src=\"my%20book_files/image001.png\" alt=\"Again\">Sales "
            "chartFar away"
            "<img width=96 height=48 src=\"my%20book_files/image001.png\" alt=\"Old\">Sales by "
            "month</p>"));
    const fs::path pictures = fs::path(folder.Path()) / "my book_files";
    EXPECT_THAT(FilesIn(pictures), UnorderedElementsAre("image001.png", "image002.jpg"));
    EXPECT_EQ(LoadTextFile((pictures / "image001.png").string()), kPng);
}

TEST(FilteredWebPagePictures, HaveTheSizeWordShowsThemAt) {
    // The drawing's extent, not the size the picture's own shape properties hold; in groups the
    // picture's own extent, scaled by each group from its children's coordinates to its size
    // (here three times, then half).
    const auto transform = [](const char* size, const char* children) {
        return std::string("<a:xfrm><a:ext ") + size + "/><a:chExt " + children + "/></a:xfrm>";
    };
    const std::string body =
        "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"457200\"/><a:graphic>"
        "<a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rId1\"/></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:ext cx=\"2743200\" cy=\"1371600\"/></a:xfrm></pic:spPr>"
        "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>"
        "<w:r><w:drawing><wp:anchor><wp:extent cx=\"1828800\" cy=\"914400\"/><a:graphic>"
        "<a:graphicData><wpg:wgp><wpg:grpSpPr>" +
        transform("cx=\"1828800\" cy=\"914400\"", "cx=\"3657600\" cy=\"1828800\"") +
        "</wpg:grpSpPr><wpg:grpSp><wpg:grpSpPr>" +
        transform("cx=\"1828800\" cy=\"914400\"", "cx=\"609600\" cy=\"304800\"") +
        "</wpg:grpSpPr><pic:pic><pic:blipFill><a:blip r:embed=\"rId1\"/></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:ext cx=\"457200\" cy=\"228600\"/></a:xfrm></pic:spPr></pic:pic>"
        "</wpg:grpSp></wpg:wgp></a:graphicData></a:graphic></wp:anchor></w:drawing></w:r>"
        // Half the width and half the height of this one are cropped away: the whole picture
        // is given at Word's scale.
        "<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"457200\"/><a:graphic>"
        "<a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rId1\"/><a:srcRect "
        "l=\"25000\" r=\"25000\" b=\"50000\"/></pic:blipFill></pic:pic></a:graphicData>"
        "</a:graphic></wp:inline></w:drawing></w:r></w:p>";
    const TempFolder folder;
    const auto page =
        ConvertParts(folder, DocumentParts(body, Relationship("rId1", "image", "media/image1.png"),
                                           {{"word/media/image1.png", kPng}}));
    EXPECT_THAT(BodyOf(page.Html),
                HasSubstr("<img width=96 height=48 src=\"page_files/image001.png\"><img "
                          "width=72 height=36 src=\"page_files/image001.png\"><img width=192 "
                          "height=96 src=\"page_files/image001.png\">"));
}

TEST(FilteredWebPagePictures, NeedNoFolderWhenThereAreNone) {
    const TempFolder folder;
    const auto page = ConvertParts(folder, DocumentParts("<w:p><w:r><w:t>Words</w:t></w:r></w:p>"));
    EXPECT_EQ(page.Counts.Pictures, 0);
    EXPECT_FALSE(fs::exists(fs::path(folder.Path()) / "page_files"));
}

TEST(PictureSourcePrefix, WritesSpacesAsWordDoes) {
    EXPECT_EQ(PictureSourcePrefix("my book"), "my%20book_files/");
    EXPECT_EQ(PictureSourcePrefix("report"), "report_files/");
}

}  // namespace
}  // namespace quirebook
