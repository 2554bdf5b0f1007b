// Tests of carrying the pictures, style sheets and fonts that chapters and their style sheets
// name into the book, and of the account of what was left out.
#include "html/CarryResources.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::TempFolder;

const std::string kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);

// A web book as Standard Ebooks and Sphinx lay one out: pages in "src/text", pictures, style
// sheets and fonts in sibling folders, a secret beside the root.
class CarryResourcesTest : public ::testing::Test {
  protected:
    CarryResourcesTest() : Book({"/nonexistent", Temp.Path()}, Temp / "work") {
        for (const char* folder : {"text", "images", "css/fonts", "static"})
            fs::create_directories(Root + "/" + folder);
        SaveTextFile(Root + "/images/a.png", kPng);
        SaveTextFile(Root + "/images/bg.png", kPng);
        SaveTextFile(Root + "/text/local.png", kPng);
        SaveTextFile(Root + "/css/fonts/f.woff", "wOFF....");
        SaveTextFile(Root + "/css/core.css",
                     "@import url(\"more.css\");\n@import 'gone.css';\n"
                     "body { background: url(../images/bg.png) }\n"
                     "@font-face { font-family: F; src: url(fonts/f.woff) format(\"woff\"), "
                     "url(fonts/gone.woff2) }\n"
                     "p { background: url(/etc/passwd.png); color: blue }");
        // Imports the sheet that imports it: each is carried once.
        SaveTextFile(Root + "/css/more.css", "@import \"core.css\";\nh1 { color: red }");
        SaveTextFile(Temp / "secret.png", kPng);
        Book.SourceFolder = Root + "/text/";
        Book.ResourceRoot = Root;
        Book.ClearBookFolders();
    }

    void AddChapter(const std::string& name, const std::string& body,
                    const std::string& head = "") {
        const std::string page =
            "<html><head><title>T</title>" + head + "</head><body>" + body + "</body></html>";
        SaveTextFile(Root + "/text/" + name, page);
        SaveTextFile(Book.OpsFolder + name, page);
        Book.ChapterFiles.push_back(name);
    }

    std::string Ops(const std::string& path) { return LoadTextFile(Book.OpsFolder + path); }
    // Carries the resources of the chapters as the book's steps do, in memory, and writes them.
    CarriedResources Carry() {
        ChapterTexts texts = LoadChapterTexts(Book);
        CarriedResources carried = CarryResources(Book, texts);
        SaveChapterTexts(Book, texts);
        return carried;
    }

    TempFolder Temp;
    std::string Root = Temp / "src";
    BookProject Book;
};

TEST_F(CarryResourcesTest, CarriesSiblingFoldersAndRewritesEveryReference) {
    AddChapter("one.xhtml",
               "<img src=\"../images/a.png\" alt=\"A\"/><img src=\"local.png\" alt=\"L\"/>",
               "<link href=\"../css/core.css?v=1\" rel=\"stylesheet\" type=\"text/css\"/>");
    AddChapter("two.xhtml", "<img alt=\"A\" src='../images/a.png'/>",
               "<link rel=\"stylesheet\" href=\"../css/more.css\"/>");
    const CarriedResources carried = Carry();

    EXPECT_THAT(carried.Pictures,
                ElementsAre("root/images/bg.png", "root/images/a.png", "local.png"));
    EXPECT_THAT(carried.StyleSheets, ElementsAre("root/css/core.css", "root/css/more.css"));
    EXPECT_THAT(carried.Fonts, ElementsAre("root/css/fonts/f.woff"));
    EXPECT_EQ(Ops("root/images/a.png"), kPng);
    EXPECT_EQ(Ops("root/css/fonts/f.woff"), "wOFF....");

    const std::string one = Ops("one.xhtml");
    EXPECT_THAT(one, HasSubstr("<img src=\"root/images/a.png\" alt=\"A\"/>"));
    EXPECT_THAT(one, HasSubstr("<img src=\"local.png\" alt=\"L\"/>"));
    EXPECT_THAT(one, HasSubstr("<link href=\"root/css/core.css\" rel=\"stylesheet\""));
    EXPECT_THAT(Ops("two.xhtml"), HasSubstr("src='root/images/a.png'"));

    // A sheet's references stay relative to the sheet; what it cannot reach is removed.
    const std::string core = Ops("root/css/core.css");
    EXPECT_THAT(core, HasSubstr("@import url(\"more.css\");"));
    EXPECT_THAT(core, HasSubstr("background: url(../images/bg.png)"));
    EXPECT_THAT(core, HasSubstr("src: url(fonts/f.woff) format(\"woff\")}"));
    EXPECT_THAT(core, HasSubstr("p { color: blue }"));
    EXPECT_THAT(core, Not(HasSubstr("gone")));
    EXPECT_THAT(core, Not(HasSubstr("passwd")));
    EXPECT_THAT(Ops("root/css/more.css"), HasSubstr("@import \"core.css\";"));
}

TEST_F(CarryResourcesTest, CountsAndNamesWhatIsLeftOutOnce) {
    fs::create_directory(Root + "/.git");
    SaveTextFile(Root + "/.git/x.png", kPng);
    SaveTextFile(Root + "/images/text.png", "not a picture");
    fs::create_symlink(Temp / "secret.png", Root + "/images/out.png");
    const std::string pictures =
        "<img src=\"../../secret.png\"/><img src=\"/etc/x.png\"/><img src=\"file:///x.png\"/>"
        "<img src=\"../images/out.png\"/><img src=\"../.git/x.png\"/>"
        "<img src=\"../images/text.png\"/><img src=\"gone.png\"/>"
        "<img src=\"http://example.org/a.png\"/><img src=\"gone.png\"/>";
    AddChapter("one.xhtml", pictures, "<link rel=\"stylesheet\" href=\"../css/core.css\"/>");
    const CarriedResources carried = Carry();

    EXPECT_TRUE(carried.Pictures.size() == 1 && carried.Pictures[0] == "root/images/bg.png");
    ASSERT_EQ(carried.LeftOut.size(), 11u);
    int refused = 0;
    for (const LeftOutResource& left : carried.LeftOut)
        refused += left.Status == ResourceStatus::Refused;
    EXPECT_EQ(refused, 7);  // six pictures of the chapter, one of the sheet
    // A chapter's reference that is not carried stays for the conformance stage to remove.
    EXPECT_THAT(Ops("one.xhtml"), HasSubstr(pictures));
    EXPECT_FALSE(fs::exists(Book.OpsFolder + "root/images/out.png"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("one.xhtml: the picture \"../../secret.png\" is left out "
                                         "of the book: it lies outside the resource root"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("root/css/core.css: the font \"fonts/gone.woff2\" is left "
                                         "out of the book: the file is missing"));

    const std::string summary = LeftOutSummary(carried.LeftOut);
    EXPECT_THAT(summary, HasSubstr("Left out of the book: 9 pictures (1 missing, 1 on another "
                                   "site, 7 refused), 1 style sheet (1 missing) and 1 font (1 "
                                   "missing)"));
    // The sheet linked in the head comes first.
    EXPECT_THAT(summary, HasSubstr("; among them gone.css (the file is missing), fonts/gone.woff2 "
                                   "(the file is missing), /etc/passwd.png (it is an absolute "
                                   "path) and 8 more."));
    EXPECT_EQ(LeftOutSummary({}), "");
}

TEST_F(CarryResourcesTest, ANarrowRootKeepsToThePagesFolder) {
    Book.ResourceRoot = Root + "/text";
    AddChapter("one.xhtml", "<img src=\"../images/a.png\"/><img src=\"local.png\"/>");
    const CarriedResources carried = Carry();
    EXPECT_THAT(carried.Pictures, ElementsAre("local.png"));
    ASSERT_EQ(carried.LeftOut.size(), 1u);
    EXPECT_EQ(carried.LeftOut[0].Status, ResourceStatus::Refused);
    // A root that does not hold the pages' folder is not used: the pages' folder is.
    Book.ResourceRoot = Root + "/images";
    EXPECT_EQ(Carry().LeftOut.size(), 1u);
}

TEST_F(CarryResourcesTest, BookPathsNeverClash) {
    // The pages' folder has its own "root" folder and a file the book already holds.
    fs::create_directories(Root + "/text/root/images");
    SaveTextFile(Root + "/text/root/images/a.png", kPng);
    SaveTextFile(Book.OpsFolder + "cover.png", "the cover");
    SaveTextFile(Root + "/text/cover.png", kPng);
    AddChapter("one.xhtml",
               "<img src=\"root/images/a.png\"/><img src=\"../images/a.png\"/>"
               "<img src=\"cover.png\"/>");
    const CarriedResources carried = Carry();
    EXPECT_THAT(carried.Pictures,
                ElementsAre("root/images/a.png", "root-2/images/a.png", "cover-2.png"));
    EXPECT_EQ(Ops("cover.png"), "the cover");
    EXPECT_THAT(Ops("one.xhtml"), HasSubstr("<img src=\"root-2/images/a.png\"/>"));
}

TEST_F(CarryResourcesTest, StyleBlocksStyleAttributesAndOddNamesAreRewritten) {
    SaveTextFile(Root + "/images/a & b.png", kPng);
    AddChapter("one.xhtml",
               "<img src=\"../images/a%20&amp;%20b.png\"/><div style=\"font-family: &quot;A "
               "B&quot;; background: url(&quot;../images/a.png&quot;)\">x</div><p "
               "style='background:url(gone.png);color:red'>y</p><p style=\"color: red\">z</p>",
               "<style type=\"text/css\">/* <i style=\"x\"> */ p { background: "
               "url('../images/bg.png') } "
               "q { background: url(../images/none.png) }</style>");
    const CarriedResources carried = Carry();
    EXPECT_THAT(carried.Pictures,
                ElementsAre("root/images/bg.png", "root/images/a & b.png", "root/images/a.png"));
    EXPECT_THAT(Ops("one.xhtml"),
                HasSubstr("<div style=\"font-family: &quot;A B&quot;; background: "
                          "url(&quot;root/images/a.png&quot;)\">x</div><p "
                          "style='color:red'>y</p><p style=\"color: red\">z</p>"));
    const std::string one = Ops("one.xhtml");
    EXPECT_THAT(
        one,
        HasSubstr(
            "/* <i style=\"x\"> */ p { background: url(\"root/images/bg.png\") } q {}</style>"));
    EXPECT_THAT(one, HasSubstr("<img src=\"root/images/a%20&amp;%20b.png\"/>"));
    EXPECT_EQ(one.find("/* <i"), one.rfind("/* <i"));  // the style block is written once
}

// A Sphinx-like layout: a sidebar floated beside the body, a margin kept for it, and a minimum
// width for the body, in sheets of the site, some of which a chapter may lack.
class NarrowScreenFitTest : public CarryResourcesTest {
  protected:
    NarrowScreenFitTest() {
        Book.TemplateFolder = QUIREBOOK_SOURCE_DIR "/data/lib/";
        SaveTextFile(Root + "/static/basic.css",
                     "div.sidebar { float: left; width: 230px }\n"
                     "div.body { min-width: 450px; max-width: 800px }");
        SaveTextFile(Root + "/static/layout.css", Layout);
    }

    static constexpr const char* Layout = "div.bodywrapper { margin: 0 0 0 230px }\n";
    const std::string Links =
        "<link rel=\"stylesheet\" href=\"../static/basic.css\"/><link rel=\"stylesheet\" "
        "href=\"../static/layout.css\"/>";
};

TEST_F(NarrowScreenFitTest, TheCopiesLoseTheSpaceKeptForAGoneSidebarAndEveryChapterLinksTheFit) {
    AddChapter("one.xhtml", "<div class=\"bodywrapper\"><div class=\"body\">One</div></div>",
               Links);
    AddChapter("two.xhtml", "<div class=\"bodywrapper\"><div class=\"body\">Two</div></div>",
               Links +
                   "<style type=\"text/css\"/><styles>div.bodywrapper { margin-left: 230px }"
                   "</styles><style>div.bodywrapper { padding-left: 230px }</style>");
    const CarriedResources carried = Carry();
    EXPECT_THAT(carried.StyleSheets,
                ElementsAre("root/static/basic.css", "root/static/layout.css", "fit.css"));
    EXPECT_EQ(Ops("root/static/layout.css"), "div.bodywrapper { margin: 0 0 0 0 }\n");
    EXPECT_EQ(Ops("root/static/basic.css"),
              "div.sidebar { float: left; width: 230px }\ndiv.body { max-width: 800px }");
    EXPECT_EQ(LoadTextFile(Root + "/static/layout.css"), Layout);  // the site's own stays
    EXPECT_EQ(Ops("fit.css"), LoadTextFile(Book.TemplateFolder + "OPS/fit.css"));
    EXPECT_THAT(Ops("two.xhtml"), HasSubstr("<style>div.bodywrapper { padding-left: 0 }</style>"
                                            "<link rel=\"stylesheet\" type=\"text/css\" "
                                            "href=\"fit.css\" />\n</head>"));
    EXPECT_THAT(Ops("one.xhtml"), HasSubstr("href=\"fit.css\" />\n</head>"));
    EXPECT_THAT(Book.BuildLog,
                HasSubstr("No chapter holds div.sidebar: the style sheets keep no 230px for it on "
                          "the left of the text"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("Fitted to narrow screens: root/static/layout.css, 1 "
                                         "margin set to 0, 0 minimum widths dropped"));
}

TEST_F(NarrowScreenFitTest, ASidebarThatOneChapterHoldsKeepsItsMarginsAndWordBooksAreLeftAlone) {
    AddChapter("one.xhtml", "<div class=\"bodywrapper\">One</div>", Links);
    AddChapter("two.xhtml", "<div class=\"sidebar\">Menu</div><div class=\"bodywrapper\">Two</div>",
               Links);
    // A file of the site named as the fit sheet keeps its name; the fit sheet takes another.
    SaveTextFile(Root + "/text/fit.css", "p { color: red }");
    SaveTextFile(Book.OpsFolder + "fit.css", "p { color: red }");
    CarriedResources carried = Carry();
    EXPECT_EQ(Ops("root/static/layout.css"), Layout);
    EXPECT_EQ(carried.StyleSheets.back(), "fit-2.css");
    EXPECT_EQ(Ops("fit.css"), "p { color: red }");
    EXPECT_THAT(Ops("one.xhtml"), HasSubstr("href=\"fit-2.css\""));

    Book.ClearBookFolders();
    Book.ChapterFiles.clear();
    Book.FromWordDocument = true;
    AddChapter("one.xhtml", "<div class=\"bodywrapper\">One</div>", Links);
    carried = Carry();
    EXPECT_THAT(carried.StyleSheets,
                ElementsAre("root/static/basic.css", "root/static/layout.css"));
    EXPECT_EQ(Ops("root/static/layout.css"), Layout);
    EXPECT_THAT(Ops("one.xhtml"), Not(HasSubstr("fit")));
}

TEST_F(CarryResourcesTest, WithoutTheFitSheetInstalledTheChaptersAreMadeWithoutIt) {
    AddChapter("one.xhtml", "<p>One</p>");
    const CarriedResources carried = Carry();  // the fixture's data folder does not exist
    EXPECT_TRUE(carried.StyleSheets.empty());
    EXPECT_THAT(Ops("one.xhtml"), Not(HasSubstr("<link")));
    EXPECT_THAT(Book.BuildLog, HasSubstr("/nonexistent/lib/OPS/fit.css is missing or empty"));
}

}  // namespace
}  // namespace quirebook
