#include "css/BookStyleSheets.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "css/FontGenerics.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using testing::TempFolder;

// Options that leave a style text alone but for the step under test.
OptionFlags PlainOptions() {
    OptionFlags options;
    options.StripTableWidth = false;
    options.RelativeFontSize = false;
    options.AllowPageBreak = false;
    options.AllowLineHeight = true;
    options.AllowNegativeValues = true;
    return options;
}

std::string Filtered(std::string style, OptionFlags options) {
    return FilterStyleDeclarations(std::move(style), options, "");
}

TEST(AddGenericFontFamilies, AddsTheGenericOfTheFirstKnownFamilyUnlessOneIsNamed) {
    EXPECT_EQ(AddGenericFontFamilies("font-family:\"Courier New\";"),
              "font-family:\"Courier New\",monospace;");
    EXPECT_EQ(AddGenericFontFamilies("a{font-family:Tahoma}"), "a{font-family:Tahoma,sans-serif}");
    EXPECT_EQ(AddGenericFontFamilies("font-family:Verdana, Arial"),
              "font-family:Verdana, Arial,sans-serif");
    EXPECT_EQ(AddGenericFontFamilies("FONT-FAMILY:Lucida Console;font-family:ARIAL}"),
              "FONT-FAMILY:Lucida Console,monospace;font-family:ARIAL,sans-serif}");
    // An unknown family is passed over for a known one after it; none known gives serif.
    EXPECT_EQ(AddGenericFontFamilies("p{font-family:\"B Nazanin\", Tahoma}q{font-family:'B Titr'}"),
              "p{font-family:\"B Nazanin\", Tahoma,sans-serif}q{font-family:'B Titr',serif}");
    EXPECT_EQ(AddGenericFontFamilies("font-family:\"Times New Roman\",serif;"),
              "font-family:\"Times New Roman\",serif;");
    EXPECT_EQ(AddGenericFontFamilies("a{font-family:Consolas,monospace}b{font-family:cursive}"),
              "a{font-family:Consolas,monospace}b{font-family:cursive}");
    EXPECT_EQ(AddGenericFontFamilies("font-family:Gill Sans-SERIF"), "font-family:Gill Sans-SERIF");
    EXPECT_EQ(AddGenericFontFamilies("font-size:12px"), "font-size:12px");
}

TEST(KnownGenericFamily, ReadsMonospacedWordsAndTheLongestKnownStart) {
    for (const char* name :
         {"Consolas", "Cascadia Code", "Liberation Mono", "Lucida Sans Typewriter", "courier",
          "Noto Sans Mono CJK", "Menlo", "Source Code Pro"})
        EXPECT_EQ(KnownGenericFamily(name), "monospace") << name;
    for (const char* name : {"Calibri Light", "Segoe UI Semibold", "Arial Narrow", "aptos display"})
        EXPECT_EQ(KnownGenericFamily(name), "sans-serif") << name;
    EXPECT_EQ(KnownGenericFamily("DejaVu Serif Condensed"), "serif");
    EXPECT_EQ(KnownGenericFamily("Times New Roman"), "serif");
    // "Monotype" is not the word "Mono"; "Code2000" not the word "Code"; "Arialic" not Arial.
    EXPECT_EQ(KnownGenericFamily("Monotype Corsiva"), "cursive");
    EXPECT_EQ(KnownGenericFamily("Code2000"), "");
    EXPECT_EQ(KnownGenericFamily("Arialic Hollow"), "");
    EXPECT_EQ(KnownGenericFamily("B Nazanin"), "");
}

TEST(FilterStyleDeclarations, DropsWhatTheOptionsDoNotAllow) {
    OptionFlags options = PlainOptions();
    EXPECT_EQ(Filtered("p, li, div{color:windowtext;letter-spacing:1px}", options),
              "p, li{color:black;}\r\n");
    const std::string table = "table{margin:0px; width:600px;} td{width:50%}";
    EXPECT_EQ(Filtered(table, options), table + "\r\n");
    options.StripTableWidth = true;
    EXPECT_EQ(Filtered(table, options), "table{margin:0px; } td{width:50%}\r\n");

    const std::string indents = "p{text-indent:-24px;} q{text-indent:24px;line-height:120%;}";
    EXPECT_EQ(Filtered(indents, options), indents + "\r\n");
    options.AllowNegativeValues = false;
    options.AllowLineHeight = false;
    EXPECT_EQ(Filtered(indents, options), "p{} q{text-indent:24px;}\r\n");
}

TEST(FilterStyleDeclarations, RemovesLongerPropertyNamesWhole) {
    OptionFlags options = PlainOptions();
    options.StripTableWidth = true;
    options.AllowLineHeight = false;
    // Removing only "width:600px;" would leave "max-" to swallow the color declaration.
    EXPECT_EQ(Filtered("div{max-width:600px;\r\n\tcolor:red;border-width:1px}", options),
              "div{\r\n\tcolor:red;}\r\n");
    EXPECT_EQ(Filtered("h1{mso-line-height-rule:exactly;\r\n\tfont-weight:bold}", options),
              "h1{\r\n\tfont-weight:bold}\r\n");
}

TEST(FilterStyleDeclarations, TidiesSemicolonsAndAppendsRules) {
    OptionFlags options = PlainOptions();
    EXPECT_EQ(Filtered("p{ ;color:red;\r\n\t;margin:0}", options), "p{color:red;\rmargin:0}\r\n");
    options.AllowPageBreak = true;
    options.RelativeFontSize = true;
    EXPECT_EQ(FilterStyleDeclarations("p{font-size:20px;}", options, "img{}"),
              "p{font-size:1em;}\r\n.pager{page-break-after:always}\r\nimg{}");
    EXPECT_EQ(options.BaseFontSize, 20);
}

TEST(StyleHelpers, UnquoteGenericFamiliesAndCombineMargins) {
    EXPECT_EQ(UnquoteGenericFamilies("a{font-family:\"Arial\",\"sans-serif\"} b{font-family:"
                                     "\"mono\"} c{font-family:\"serif\"}"),
              "a{font-family:\"Arial\",sans-serif} b{font-family:mono} c{font-family:serif}");

    std::string margins =
        "p{margin-top:0in;margin-right:1in;\r\n margin-bottom:2in; margin-left:3in;}";
    CombineMargins(margins);
    EXPECT_EQ(margins, "p{margin:0in 1in 2in 3in;}");
    // A rule whose last declaration has no ";" is not merged with the next rule.
    std::string rules =
        ".s1{margin-top:0cm}.s2{margin-top:1cm;margin-right:0;margin-bottom:0;"
        "margin-left:33pt;}";
    CombineMargins(rules);
    EXPECT_EQ(rules, ".s1{margin-top:0cm}.s2{margin:1cm 0 0 33pt;}");
    // Any other order, or a last longhand without ";", stays.
    for (std::string kept : {"margin-right:1in;margin-top:0in;margin-bottom:2in;margin-left:3in;",
                             "margin-top:0in;margin-right:1in;margin-bottom:2in;margin-left:3in"}) {
        const std::string before = kept;
        CombineMargins(kept);
        EXPECT_EQ(kept, before);
    }
}

TEST(NormaliseWordStyle, RunsTheChainInOrder) {
    OptionFlags options = PlainOptions();
    options.RelativeFontSize = true;
    EXPECT_EQ(NormaliseWordStyle("p {font-size:12.0pt; font-family:\"Verdana\";}\r\n"
                                 "h1{font-family:\"Cambria\",\"serif\"}",
                                 options, "x{font-family:\"serif\"}"),
              "p {font-size:1em; font-family:\"Verdana\",sans-serif;}\r\n"
              "h1{font-family:\"Cambria\",serif}\r\nx{font-family:serif}");
    EXPECT_EQ(options.BaseFontSize, 16);
}

class StyleSheetFilesTest : public ::testing::Test {
  protected:
    StyleSheetFilesTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        fs::create_directories(Temp / "source");
    }

    std::string SourcePage() const { return Temp / "source/page.htm"; }
    std::string SavedSheet() const { return LoadTextFile(Temp / "source/style.css"); }

    TempFolder Temp;
    BookProject Book;
};

TEST_F(StyleSheetFilesTest, LinkReplacementStyleSheetOnlyWithASheet) {
    const auto linked = [this](std::string page) {
        LinkReplacementStyleSheet(page, Book);
        return page;
    };
    const std::string page = "<HEAD><style>p{}</style><link rel=\"next\" href=\"b\"></HEAD><body>";
    EXPECT_EQ(linked(page), page);

    Book.ReplacementStyleSheet = Temp / "my&sheet.css";
    const std::string link =
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"my&amp;sheet.css\"/>\r\n";
    EXPECT_EQ(linked(page),
              "<HEAD><style>p{}</style><link rel=\"next\" href=\"b\">" + link + "</HEAD><body>");
    EXPECT_EQ(linked("<p>a</p><BODY>"), "<p>a</p>" + link + "<BODY>");
    EXPECT_EQ(linked("<p>a</p>"), link + "<p>a</p>");
    Book.Options.RemoveStyleBlocks = Book.Options.RemoveStyleLinks = true;
    EXPECT_EQ(linked(page), "<HEAD>" + link + "</HEAD><body>");

    // Style attributes go only when asked, and only inside tags.
    const std::string styled =
        "<body><p class=\"a\" STYLE = 'color:red'>x style=\"y\"</p><td\nstyle=\"\">z</td>";
    EXPECT_EQ(linked(styled), link + styled);
    Book.Options.RemoveInlineStyles = true;
    EXPECT_EQ(linked(styled), link + "<body><p class=\"a\">x style=\"y\"</p><td>z</td>");
}

TEST_F(StyleSheetFilesTest, BuildWordStyleSheetReplacesTheDefinitionsBlock) {
    std::string head =
        "<html><head><base href=\"http://x/\"><style>p.a{color:red}\r\n</style>"
        "<script>var s='<style>';</script>"
        "<style>\r\n<!--\r\n/* Style Definitions */\r\np.b{font-size:12.0pt;}\r\n--></style>"
        "</head><body>";
    ASSERT_TRUE(BuildWordStyleSheet(head, SourcePage(), Book));
    EXPECT_EQ(head,
              "<html><head><style>p.a{color:red}\r\n</style>"
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/></head><body>");
    const std::string patch = LoadTextFile(QUIREBOOK_SOURCE_DIR "/data/lib/OPS/patch.css");
    ASSERT_FALSE(patch.empty());
    EXPECT_EQ(SavedSheet(),
              "\r\n<!--\r\n/* Style Definitions */\r\np.b{font-size:1em;}\r\n--"
              "\r\n.pager{page-break-after:always}\r\n"
              "span.u{text-decoration:underline}\r\nspan.s{text-decoration:line-through}\r\n" +
                  patch);
}

TEST_F(StyleSheetFilesTest, BuildWordStyleSheetAppendsTheThemeLast) {
    const auto build = [this] {
        std::string head = "<head><style>/* Font Definitions */\r\n</style></head><body>";
        EXPECT_TRUE(BuildWordStyleSheet(head, SourcePage(), Book));
        return SavedSheet();
    };
    Book.Options.UseGlobalStyle = true;
    const std::string theme = LoadTextFile(QUIREBOOK_SOURCE_DIR "/data/lib/OPS/style.css");
    ASSERT_FALSE(theme.empty());
    EXPECT_THAT(build(), EndsWith("\r\n" + theme));

    // An empty theme leaves the sheet ending in the line break before it; a missing patch sheet,
    // or one that cannot be read (here a folder), contributes nothing: the rules of the underline
    // and strikethrough classes stay.
    Book.TemplateFolder = Temp / "lib/";
    fs::create_directories(Book.TemplateFolder + "OPS");
    SaveTextFile(Book.TemplateFolder + "OPS/style.css", "");
    Book.Options.AllowPageBreak = false;
    const std::string classes =
        "span.u{text-decoration:underline}\r\nspan.s{text-decoration:line-through}\r\n";
    EXPECT_EQ(build(), "/* Font Definitions */\r\r\n" + classes + "\r\n");
    fs::create_directories(Book.TemplateFolder + "OPS/patch.css");
    EXPECT_EQ(build(), "/* Font Definitions */\r\r\n" + classes + "\r\n");
}

TEST_F(StyleSheetFilesTest, BuildWordStyleSheetWithoutDefinitionsChangesNothing) {
    const std::string original =
        "<head><base href=\"x\"><script>a</script><style>p{}\r\n</style></head><body>";
    std::string head = original;
    EXPECT_FALSE(BuildWordStyleSheet(head, SourcePage(), Book));
    EXPECT_EQ(head, original);
    EXPECT_FALSE(fs::exists(Temp / "source/style.css"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("page.htm"));
}

}  // namespace
}  // namespace quirebook
