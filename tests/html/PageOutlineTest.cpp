// Tests of a page's outline: the main content, what is left out of it, the labels of its
// headings, its title and first words.
#include "html/PageOutline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace quirebook {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> Labels(const std::vector<OutlineHeading>& headings) {
    std::vector<std::string> labels;
    for (const OutlineHeading& heading : headings) labels.push_back(heading.Label);
    return labels;
}

std::vector<std::string> Labels(const PageOutline& outline) {
    return Labels(outline.Headings);
}

std::vector<std::string> LabelsOf(const std::string& page) {
    return Labels(OutlineOfPage(page, nullptr));
}

// Sheets by name; a name read from a sheet is looked up as "from>name".
class MapSheets final : public StyleSheetSource {
  public:
    explicit MapSheets(std::map<std::string, std::string> sheets) : m_sheets(std::move(sheets)) {}
    std::string Read(const std::string& reference, const std::string& from,
                     std::string& place) const override {
        place = from.empty() ? reference : from + ">" + reference;
        const auto found = m_sheets.find(place);
        return found == m_sheets.end() ? std::string() : found->second;
    }

  private:
    std::map<std::string, std::string> m_sheets;
};

TEST(PageOutline, TheSiteSidebarAndNavigationBeforeThePageHeadingAreLeftOut) {
    // As a Sphinx page is laid out: the related bar and the sidebar come first.
    const std::string page =
        "<html><head><title>4. Tools &#8212; Python 3.11 documentation</title></head><body>"
        "<div class=\"related\" role=\"navigation\"><h3>Navigation</h3></div>"
        "<div class=\"sphinxsidebar\"><div role=\"navigation\"><h3>Table of Contents</h3></div>"
        "<div role=\"search\"><h3>Quick search</h3></div></div>"
        "<div class=\"body\" role=\"main\"><h1>4. More Control Flow Tools"
        "<a class=\"headerlink\" href=\"#tools\" title=\"Permalink\">\xC2\xB6</a></h1>"
        "<p>Besides the while statement just introduced, Python uses the usual flow control "
        "statements known from other languages.</p><h2>4.1. <code>if</code> Statements</h2>"
        "<aside><h4>Note</h4></aside></div>"
        "<footer><h3>This Page</h3></footer></body></html>";
    const PageOutline outline = OutlineOfPage(page, nullptr);
    EXPECT_THAT(Labels(outline), ElementsAre("4. More Control Flow Tools", "4.1. if Statements"));
    EXPECT_EQ(outline.Headings[0].Level, 1);
    EXPECT_EQ(outline.Headings[1].Level, 2);
    EXPECT_EQ(outline.Title, "4. Tools \xE2\x80\x94 Python 3.11 documentation");
    EXPECT_EQ(outline.FirstWords,
              "Besides the while statement just introduced, Python uses\xE2\x80\xA6");
}

TEST(PageOutline, WithoutAMainElementBannersAndSidebarsAreLeftOutButSectionHeadersStay) {
    const std::string page =
        "<body><header><h1>Site name</h1><nav><h2>Menu</h2></nav></header>"
        "<div role=\"complementary\"><h2>Related</h2></div><div role=\"banner\"><h2>B</h2></div>"
        "<section><header><h2>Part One</h2></header><p>Text.</p><h3>A section</h3>"
        "<footer><h4>Section footer</h4></footer></section>"
        "<footer><h2>Copyright</h2></footer><div "
        "role=\"contentinfo\"><h2>Imprint</h2></div></body>";
    EXPECT_THAT(LabelsOf(page), ElementsAre("Part One", "A section", "Section footer"));
    // The one article of a page is its main content.
    EXPECT_THAT(LabelsOf("<h1>Blog</h1><article><h1>Post</h1><p>x</p></article><h2>More</h2>"),
                ElementsAre("Post"));
    // A main element holding no text gives way to the body.
    EXPECT_THAT(LabelsOf("<main></main><h1>Title</h1><p>Words</p>"), ElementsAre("Title"));
}

TEST(PageOutline, HiddenHeadingsAreLeftOutWhateverHidesThem) {
    const std::string page =
        "<html><head><link rel=\"stylesheet\" href=\"site.css\"/>"
        "<link rel=\"alternate stylesheet\" href=\"other.css\"/>"
        "<style>div.related h3 { display: none } @media print { h2.p { display: none } }"
        "@media (max-width: 600px) { h2.small { display: none } }</style></head><body>"
        "<div class=\"related\"><h3>Navigation</h3></div><p>Text</p>"
        "<h2 hidden>Attribute</h2><h2 aria-hidden=\"true\">Aria</h2>"
        "<h2 style=\"color: red; DISPLAY : none\">Inline</h2><h2 class=\"gone\">Linked</h2>"
        "<h2 class=\"deep\">Imported</h2><div style=\"visibility:hidden\"><h2>Invisible</h2></div>"
        "<h2 class=\"p\">Printed</h2><h2 class=\"small\">Small</h2><h2 class=\"alt\">Alt</h2>"
        "<h2 aria-hidden=\"false\">Shown</h2></body></html>";
    const MapSheets sheets({{"site.css", "@import url(\"deep.css\"); .gone { display:none }"},
                            {"site.css>deep.css", "h2.deep{display:none!important}"},
                            {"other.css", ".alt { display: none }"}});
    EXPECT_THAT(Labels(OutlineOfPage(page, &sheets)),
                ElementsAre("Printed", "Small", "Alt", "Shown"));
    // Without the linked sheets only the page's own style element hides.
    EXPECT_THAT(LabelsOf(page),
                ElementsAre("Linked", "Imported", "Printed", "Small", "Alt", "Shown"));
}

TEST(PageOutline, LabelsAreTheWholeTextWithSingleSpacesAndNoMarks) {
    EXPECT_THAT(
        LabelsOf("<h1>Chapter\xC2\xA0"
                 "1.\n\t Repositories   and <i>Branches</i></h1>"
                 "<h2><a href=\"#x\">#</a> Setup <span>\xC2\xB6</span></h2>"
                 "<h2>Notes<sup><a href=\"#fn1\">[1]</a></sup> and more<a href=\"#n\">*</a></h2>"
                 "<h2>2024<br>review</h2><h2><img src=\"logo.png\" alt=\"Logo\"/> </h2>"
                 "<h2>Cost \xE2\x80\x94 42</h2><h2>soft\xC2\xADhy\xE2\x80\x8Bphen</h2>"
                 // Word's list markers: a bullet in the Symbol font, then its spaces.
                 "<h2><span>\xEF\x82\xB7<span style='font:7.0pt'>&nbsp;&nbsp; </span></span>"
                 "Listed</h2><h2>\xE2\x80\xA2 Dotted</h2><h2>1.&nbsp;&nbsp;&nbsp; Numbered</h2>"),
        ElementsAre("Chapter 1. Repositories and Branches", "Setup", "Notes and more",
                    "2024 review", "Cost \xE2\x80\x94 42", "softhyphen", "Listed", "Dotted",
                    "1. Numbered"));
}

TEST(PageOutline, HeadingGroupsAndNumberHeadingsGiveOneLabel) {
    EXPECT_THAT(
        LabelsOf("<section><hgroup><h3>I</h3><p>Of the Nature of Flatland</p></hgroup><p>x</p>"
                 "<hgroup><h2>Part II.</h2><p>Other Worlds</p></hgroup><p>y</p>"
                 "<h2>CHAPTER IV.</h2>\n<h3>HERO'S STORY</h3><p>z</p>"
                 "<h2>Chapter 5</h2><p>text</p><h3>Not joined: text stands between</h3>"
                 "<h2>Part 3</h2><h3>Chapter 9</h3><p>w</p></section>"
                 "<h1>THE LITTLE</h1><h1>HERO</h1>"),
        ElementsAre("I: Of the Nature of Flatland", "Part II. Other Worlds",
                    "CHAPTER IV. HERO'S STORY", "Chapter 5", "Not joined: text stands between",
                    "Part 3", "Chapter 9", "THE LITTLE", "HERO"));
    // Only the page's first two h1 headings make one title.
    EXPECT_THAT(LabelsOf("<h1>THE LITTLE</h1> <h1>HERO</h1><p>x</p><h1>A</h1><h1>B</h1>"),
                ElementsAre("THE LITTLE HERO", "A", "B"));
    EXPECT_THAT(LabelsOf("<h2>One</h2><h2>Two</h2>"), ElementsAre("One", "Two"));
    // A version is no chapter number; a title written twice is read once.
    EXPECT_THAT(LabelsOf("<h2>Version 0.8.13</h2><h3>Ann Author</h3><h3>Bob</h3>"),
                ElementsAre("Version 0.8.13", "Ann Author", "Bob"));
    EXPECT_THAT(LabelsOf("<h1>Manual</h1> <h1>Manual</h1><p>x</p><h2>Manual</h2>"),
                ElementsAre("Manual", "Manual"));
}

TEST(PageOutline, TitledTablesAndFiguresAreListedWithTheirTitles) {
    const PageOutline outline = OutlineOfPage(
        "<body><nav><table><caption>Menu</caption></table></nav>"
        "<table id=\"t\"><caption> Sizes  of kites</caption><tr><td>x</td></tr></table>"
        "<table><tr><td>untitled</td></tr></table>"
        "<figure><img src=\"a.png\" alt=\"a\"><figcaption>A diamond</figcaption></figure>"
        "<figure><table><tr><td>1</td></tr></table><figcaption>Winds</figcaption></figure>"
        "<div class=\"table\"><a id=\"lot1\"/><p class=\"title\"><strong>Table 1.1. "
        "Packages</strong></p><div class=\"table-contents\"><table class=\"table\">"
        "<caption>inner</caption></table></div></div>"
        "<div class=\"figure\"><p class=\"title\"><b>Figure 2.</b> A plot</p></div>"
        "<div class=\"figure\"><p>No title</p></div></body>",
        nullptr);
    EXPECT_THAT(Labels(outline.Tables),
                ElementsAre("Sizes of kites", "Winds", "Table 1.1. Packages"));
    EXPECT_THAT(Labels(outline.Figures), ElementsAre("A diamond", "Figure 2. A plot"));
    EXPECT_EQ(outline.Tables[0].Id, "t");
}

TEST(PageOutline, AnchorPlacesAndUsableIds) {
    const std::string page =
        "<body><h1 id=\"top\">One</h1><h2 id=\"dup\">Two</h2><p id=\"dup\">p</p>"
        "<h2><a id=\"_intro\"></a>Three</h2><h3 id=\"1bad\">Four</h3><h4>Five</h4>"
        "<section id=\"six\">\n<h2>Six</h2></section><div id=\"d\">x<h2>Seven</h2></div></body>";
    const PageOutline outline = OutlineOfPage(page, nullptr);
    ASSERT_EQ(outline.Headings.size(), 7u);
    EXPECT_EQ(outline.Headings[0].Id, "top");
    EXPECT_EQ(outline.Headings[1].Id, "");  // used twice
    EXPECT_TRUE(outline.Headings[1].HasIdAttribute);
    EXPECT_EQ(outline.Headings[2].Id, "_intro");
    EXPECT_FALSE(outline.Headings[2].HasIdAttribute);
    EXPECT_EQ(outline.Headings[3].Id, "");  // no XML name
    EXPECT_EQ(outline.Headings[4].Id, "");
    EXPECT_EQ(outline.Headings[5].Id, "six");  // the section it opens
    EXPECT_EQ(outline.Headings[6].Id, "");     // text stands before it in its division
    const OutlineHeading& five = outline.Headings[4];
    EXPECT_EQ(page.substr(five.TagStart, five.TagLength), "<h4>");
    EXPECT_EQ(outline.Ids.at("dup"), 2);
    // A tag the parser implies has no place in the page.
    EXPECT_EQ(OutlineOfPage("<h2>x", nullptr).Headings.at(0).TagLength, 4u);
    EXPECT_EQ(OutlineOfPage("<table><h2>x</h2></table>", nullptr).Headings.size(), 1u);
}

TEST(PageOutline, ATitleIsReadWholeWhereverItStandsAndTextInTheCharsetOfTheBytes) {
    const std::string head(300, ' ');
    EXPECT_EQ(
        OutlineOfPage("<html><head>" + head + "<TiTlE>\n  9. Maintenance\n tips </title>", nullptr)
            .Title,
        "9. Maintenance tips");
    // Latin-1 bytes, declared or not, read as the characters they are.
    const PageOutline latin = OutlineOfPage(
        "<meta charset=\"iso-8859-1\"><title>Caf\xE9</title><h1>R\xE9sum\xE9 &eacute;t\xE9</h1>",
        nullptr);
    EXPECT_EQ(latin.Title, "Caf\xC3\xA9");
    EXPECT_THAT(Labels(latin), ElementsAre("R\xC3\xA9sum\xC3\xA9 \xC3\xA9t\xC3\xA9"));
}

TEST(PageOutline, APageOfFourHundredHeadingsKeepsThemAll) {
    std::string page = "<body>";
    for (int i = 1; i <= 400; ++i)
        page += "<h2>Section " + std::to_string(i) + " text</h2><p>x</p>";
    const PageOutline outline = OutlineOfPage(page + "</body>", nullptr);
    ASSERT_EQ(outline.Headings.size(), 400u);
    EXPECT_EQ(outline.Headings.back().Label, "Section 400 text");
}

TEST(PageOutline, FirstWordsComeFromTheFirstParagraphOrTheText) {
    EXPECT_EQ(OutlineOfPage("<p> </p><p>Short text here.</p>", nullptr).FirstWords,
              "Short text here.");
    EXPECT_EQ(
        OutlineOfPage("<table><tr><td>Only a table cell</td></tr></table>", nullptr).FirstWords,
        "Only a table cell");
    EXPECT_EQ(OutlineOfPage("<nav><p>Menu</p></nav>", nullptr).FirstWords, "");
    EXPECT_EQ(
        OutlineOfPage("<p><img src=a.png alt=\"\"><img src=b.png alt=\" A  kite\"></p>", nullptr)
            .FirstWords,
        "A kite");
}

TEST(PageOutline, CutsTakeWhatStoodInThemAndMoveThePlacesAfterThem) {
    //                       0         1         2         3         4
    //                       0123456789012345678901234567890123456789012345
    const std::string page = "<h1>A</h1><div><h2>B</h2></div><h2>C</h2><h2>D</h2>";
    PageOutline outline = OutlineOfPage(page, nullptr);
    // Two cuts overlapping, as an outer block and a block inside it are both cut.
    LeaveOutCuts(outline, {{10, 31}, {15, 25}, {41, 51}});
    ASSERT_EQ(outline.Headings.size(), 2u);
    EXPECT_EQ(outline.Headings[0].TagStart, 0u);
    EXPECT_EQ(outline.Headings[1].Label, "C");
    EXPECT_EQ(outline.Headings[1].TagStart, 10u);
    ForgetPlaces(outline);
    EXPECT_EQ(outline.Headings[1].TagLength, 0u);
}

TEST(ShortenedLabel, CutsLongLabelsAtAWordBoundaryAndNeverInsideACharacter) {
    const std::string shortLabel(100, 'a');
    EXPECT_EQ(ShortenedLabel(shortLabel), shortLabel);
    std::string words;
    while (words.size() < 150) words += "word ";
    // 99 characters end with a whole word: the cut falls on the space after it.
    EXPECT_EQ(ShortenedLabel(words), words.substr(0, 99) + "\xE2\x80\xA6");
    std::string longer;
    while (longer.size() < 150) longer += "longer ";
    EXPECT_EQ(ShortenedLabel(longer), longer.substr(0, 14 * 7 - 1) + "\xE2\x80\xA6");
    // Persian words of six letters, two bytes each: cut after the fourteenth word.
    std::string persian;
    while (persian.size() < 400) persian += "\xD8\xB3\xD8\xB3\xD8\xB3\xD8\xB3\xD8\xB3\xD8\xB3 ";
    EXPECT_EQ(ShortenedLabel(persian), persian.substr(0, 14 * 13 - 1) + "\xE2\x80\xA6");
    // A script without spaces is cut between characters: 99 of them and the ellipsis.
    std::string chinese;
    for (int i = 0; i < 150; ++i) chinese += "\xE4\xB8\xAD";
    EXPECT_EQ(ShortenedLabel(chinese), chinese.substr(0, 99 * 3) + "\xE2\x80\xA6");
}

TEST(SingleSpaced, MakesEveryKindOfSpaceOne) {
    EXPECT_EQ(SingleSpaced(" a\xC2\xA0\xC2\xA0"
                           "b\xE2\x80\x83\xE3\x80\x80"
                           "c\t\n"),
              "a b c");
    EXPECT_EQ(SingleSpaced(""), "");
}

TEST(RemoveSharedTitleParts, TakesOffTheSiteNameThatTitlesShare) {
    std::vector<std::string> titles = {"4. More Control Flow Tools \xE2\x80\x94 Python 3.11",
                                       "The Python Tutorial \xE2\x80\x94 Python 3.11",
                                       "Python 3.11", ""};
    RemoveSharedTitleParts(titles);
    EXPECT_THAT(titles, ElementsAre("4. More Control Flow Tools", "The Python Tutorial",
                                    "Python 3.11", ""));

    std::vector<std::string> prefixed = {"Site | Intro", "Site | Setup", "Site | "};
    RemoveSharedTitleParts(prefixed);
    EXPECT_THAT(prefixed, ElementsAre("Intro", "Setup", "Site | "));

    std::vector<std::string> texinfo = {"Introduction (GNU gettext utilities)",
                                        "Basics (GNU gettext utilities)"};
    RemoveSharedTitleParts(texinfo);
    EXPECT_THAT(texinfo, ElementsAre("Introduction", "Basics"));

    // "Chapter " is shared but is no site name; one title alone shares nothing.
    std::vector<std::string> chapters = {"Chapter 1. Tutorials", "Chapter 2. Packages"};
    RemoveSharedTitleParts(chapters);
    EXPECT_THAT(chapters, ElementsAre("Chapter 1. Tutorials", "Chapter 2. Packages"));
    std::vector<std::string> one = {"Intro - Site"};
    RemoveSharedTitleParts(one);
    EXPECT_THAT(one, ElementsAre("Intro - Site"));
    std::vector<std::string> dashes = {"A - B - Site", "C - Site"};
    RemoveSharedTitleParts(dashes);
    EXPECT_THAT(dashes, ElementsAre("A - B", "C"));
}

}  // namespace
}  // namespace quirebook
