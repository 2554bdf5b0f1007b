#include "word/WordHtmlCleaner.h"

#include <filesystem>
#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "css/StyleText.h"
#include "text/PatternHelpers.h"
#include "text/TextFiles.h"
#include "word/ContentsEntries.h"
#include "word/LightWordCleaning.h"
#include "word/WordStyleCleanup.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::TempFolder;

// A small page as Word saves it: generator meta, a style block with its definitions.
std::string WordPage(const std::string& body, const std::string& rules = "") {
    return "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\n<head>\n"
           "<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\n"
           "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\n"
           "<style>\n<!--\n /* Font Definitions */\n @font-face\n\t{font-family:Calibri;}\n"
           " /* Style Definitions */\n p.MsoNormal, li.MsoNormal, div.MsoNormal\n"
           "\t{margin:0cm;}\n" +
           rules + "-->\n</style>\n</head>\n<body lang=EN-US>\n" + body + "\n</body>\n</html>";
}

std::string Cleaned(std::string text, void (WordHtmlCleaner::*step)(std::string&) const) {
    const WordHtmlCleaner cleaner;
    (cleaner.*step)(text);
    return text;
}

TEST(AnalyzeWordHead, ReadsGeneratorAndCharset) {
    WordHeadFacts facts = AnalyzeWordHead(WordPage(""));
    EXPECT_EQ(facts.GeneratorVersion, "15");
    EXPECT_EQ(facts.Charset, "utf-8");
    EXPECT_TRUE(facts.Valid());

    // Any version text will do, the last meta counts, and an unquoted charset is read too.
    facts = AnalyzeWordHead(
        "<head><META name=Generator content=\"Microsoft Word 9\"><meta charset=UTF-8>"
        "<meta name=Originator content=\"Microsoft Word X.2 (filtered)\"></head>");
    EXPECT_EQ(facts.GeneratorVersion, "X.2");
    EXPECT_EQ(facts.Charset, "UTF-8");
    EXPECT_TRUE(facts.Valid());

    // No Word meta, a bare "Microsoft Word", a meta that never ends or no head: not Word's.
    EXPECT_FALSE(AnalyzeWordHead("<head><meta name=Generator content=\"Writer\"></head>").Valid());
    EXPECT_FALSE(AnalyzeWordHead("<head><meta content=\"Microsoft Word\"></head>").Valid());
    EXPECT_FALSE(
        AnalyzeWordHead("<head><meta content=\"Microsoft Word (filtered)\"></head>").Valid());
    EXPECT_FALSE(AnalyzeWordHead("<head><meta content=\"Microsoft Word 15\"</head>").Valid());
    EXPECT_FALSE(AnalyzeWordHead("<meta content=\"Microsoft Word 15\">").Valid());
}

TEST(BasicCleanup, JoinsTagLinesAndShortensSpaces) {
    const auto clean = [](std::string text) {
        return Cleaned(text, &WordHtmlCleaner::BasicCleanup);
    };
    EXPECT_EQ(clean("<p\r\nstyle='margin:0cm;\r\n   color:red'>a  b\r\nc</p>"),
              "<p style='margin:0cm;color:red'>a b\nc</p>");
    // Four spaces after a colon go; two after a colon, and runs elsewhere, become one.
    EXPECT_EQ(clean("<p style='font:    7pt;x:  1'>a:    b</p>"),
              "<p style='font:7pt;x: 1'>a:b</p>");
    // Comments keep their line breaks and tabs.
    EXPECT_EQ(clean("<!--[if x]>\n\t<xml>\n</xml>-->"), "<!--[if x]>\n\t<xml>\n</xml>-->");
    EXPECT_EQ(clean("<p class=MsoNormalCxSpFirst>a</p><p CLASS=msonormal>b</p>"
                    "<a class=MsoFootnoteReference>1</a><p style='page-break-after:avoid'>"),
              "<p>a</p><p>b</p><a>1</a><p >");
}

TEST(BasicCleanup, CollapsesSpansAroundANoBreakSpace) {
    const auto clean = [](std::string text) {
        return Cleaned(text, &WordHtmlCleaner::BasicCleanup);
    };
    EXPECT_EQ(clean("<p><span class=a><SPAN style='x'><span>&nbsp;</span></Span></span></p>"),
              "<p>&nbsp;</p>");
    // Only spans holding the one no-break space and nothing else collapse.
    EXPECT_EQ(clean("<span a><span b>&nbsp;</span>x</span>"), "<span a>&nbsp;x</span>");
    EXPECT_EQ(clean("<span a>y<span b>&nbsp;</span></span>"), "<span a>y&nbsp;</span>");
    EXPECT_EQ(clean("<span a>&nbsp;&nbsp;</span><span>&NBSP;</span>"),
              "<span a>&nbsp;&nbsp;</span>&nbsp;");
    EXPECT_EQ(clean("<span><span>&nbsp;</span>"), "<span>&nbsp;");
    EXPECT_EQ(clean("<span>&nbsp;</span></span></span>"), "&nbsp;</span></span>");
    EXPECT_EQ(clean("<span>a</span>&nbsp;</span>"), "<span>a</span>&nbsp;</span>");
    EXPECT_EQ(clean("<span x"), "<span x");
    // Deep nesting collapses in one pass.
    std::string deep;
    for (int i = 0; i < 20000; ++i) deep += "<span>";
    deep += "&nbsp;";
    for (int i = 0; i < 20000; ++i) deep += "</span>";
    EXPECT_EQ(clean(deep), "&nbsp;");
}

TEST(BasicCleanup, DropsCellHeightsAndUnlinkedTocAnchors) {
    const auto clean = [](std::string text) {
        return Cleaned(text, &WordHtmlCleaner::BasicCleanup);
    };
    EXPECT_EQ(clean("<td width=5 style='width:5pt;height:12.0pt'>a</td><td style=height:3>"
                    "<td height:1>x'</td><tr style='height:9pt'>"),
              "<td width=5 style='width:5pt;'>a</td><td style=height:3><td height:1>x'</td>"
              "<tr style='height:9pt'>");
    EXPECT_EQ(clean("<td style='height:1pt'"), "<td style='height:1pt'");

    const std::string anchors = "<h1><a name=\"_Toc1\"></a><a name=\"_Toc2\">Title</a></h1>";
    EXPECT_EQ(clean(anchors), "<h1>Title</h1>");
    const std::string linked = "<p><a href=\"#_Toc2\">Title</a></p>" + anchors;
    EXPECT_EQ(clean(linked), linked);
}

TEST(RemoveOfficeMarkup, RemovesOfficeElementsButKeepsText) {
    const std::string text =
        "<html xmlns:o=\"o\" xmlns=\"h\">\n<head>\n<meta x>\n<link rel=File-List href=a>\n"
        "<title>T</title><!--[if gte mso 9]><xml><o:DocumentProperties/></xml><![endif]-->\n"
        "</head><body>"
        "<p style='mso-list:l0'>a<o:p></o:p></p><p style='color:red;mso-bidi-font:x'>b</p>"
        "<span style='mso-a:1;\nmso-b:2;font-family:Symbol;mso-c:3'>s</span>"
        "<span style='mso-a:1;mso-b:2'>t</span>"
        "<![if !vml]><img src=i.png><![endif]><o:wrapblock/>"
        "<w:Sdt ID=\"1\"><p>Contents<w:sdtPr></w:sdtPr></p><w:wrap/><p>c</p></w:Sdt>"
        "<xml>x</xml><v:shape id=s><v:imagedata src=x.png/></v:shape>"
        "<v:shape id=t><v:stroke/></v:shape></body></html>";
    // Office's declarations go, the others stay. A picture shown only through VML stays as an
    // image; a shape without one goes.
    EXPECT_EQ(Cleaned(text, &WordHtmlCleaner::RemoveOfficeMarkup),
              "<html>\n<head>\n<meta x>\n<title>T</title>\n</head><body>"
              "<p>a</p><p style='color:red'>b</p><span style='font-family:Symbol'>s</span>"
              "<span>t</span><img src=i.png>"
              "<p>Contents</p><p>c</p><img src=\"x.png\" alt=\"\"></body></html>");
}

TEST(StylesToClasses, SharedStylesGiveOneClass) {
    WordHtmlCleaner cleaner;
    std::string text = WordPage(
        "<p style='color:red'>a</p><p style='color:red'>b</p><h1 style='margin-top:1pt;"
        "margin-right:2pt;margin-bottom:3pt;margin-left:4pt;'>c</h1><p style=\"color:red\">d</p>");
    cleaner.StylesToClasses(text, '\'');
    ASSERT_EQ(cleaner.StyleTable().size(), 2u);
    EXPECT_EQ(cleaner.StyleTable()[0], "style='color:red'");
    EXPECT_THAT(text, HasSubstr("<p class=s1>a</p><p class=s1>b</p><h1 class=s2>c</h1>"
                                "<p style=\"color:red\">d</p>"));
    EXPECT_THAT(text, HasSubstr("<style type=\"text/css\">\n\n /* MS Word Definitions */\n"
                                " p, li, div\n\t{margin:0cm;}\n\n"
                                "/* =====================*/\n"
                                "/* Generated by HTML Cleaner for Word */\n.s1{color:red}\n"
                                ".s2{margin:1pt 2pt 3pt 4pt;}\n</style>"));
    EXPECT_THAT(text, Not(HasSubstr("<!--")));
}

TEST(StylesToClasses, MergesOwnAndGeneratedClasses) {
    WordHtmlCleaner cleaner;
    // Word's normal style class went in the basic clean-up; the others merge.
    std::string text = WordPage(
        "<p class=MsoTitle style='color:red'>T</p>"
        "<p class=MsoTitle align=center style='font-size:8pt'>U</p>"
        "<p class=Plain style='color:red'>V</p><div class=Section1 style='color:red'>W</div>"
        "<p class=Heading-1>X</p>",
        "p.MsoTitle, li.MsoTitle, div.MsoTitle\n\t{font-size:28.0pt;}\n");
    cleaner.StylesToClasses(text, '\'');
    EXPECT_THAT(text, HasSubstr("<p class=MsoTitle-1>T</p>"
                                "<p class=MsoTitle-2 align=center>U</p>"
                                "<p class=Plain-1>V</p><div class=Section1-1>W</div>"));
    EXPECT_THAT(text, HasSubstr(".MsoTitle-1{font-size:28.0pt;\n\tcolor:red}\n"
                                ".MsoTitle-2{font-size:28.0pt;\n\tfont-size:8pt}\n"
                                ".Plain-1{\n\tcolor:red}\n</style>"));
    // A class starting with "Section" gets no rule, nor one that only looks generated.
    EXPECT_THAT(text, Not(HasSubstr(".Section1-1{")));
    EXPECT_THAT(text, Not(HasSubstr(".Heading-1{")));
}

TEST(StylesToClasses, LeavesAPageWithoutStyleDefinitionsAlone) {
    WordHtmlCleaner cleaner;
    const std::string page =
        "<html><head><style>p{}</style></head><body><p style='color:red'>a</p></body></html>";
    std::string text = page;
    cleaner.StylesToClasses(text, '\'');
    EXPECT_EQ(text, page);
    EXPECT_TRUE(cleaner.StyleTable().empty());
    EXPECT_FALSE(cleaner.RebuildStyleBlock(text, "\n.s1{color:red}"));
    EXPECT_EQ(text, page);
}

TEST(ReplaceStyleAttributes, PassesOverWhatIsNoStyleValue) {
    WordHtmlCleaner cleaner;
    std::string text = WordPage("<p style='color:red'>a</p>");
    cleaner.StylesToClasses(text, '\'');
    const auto replaced = [&](std::string body) {
        cleaner.ReplaceStyleAttributes(body);
        return body;
    };
    EXPECT_EQ(replaced("style=x <p style=''>a</p><p style='color:red'>b"),
              "style=x <p style=''>a</p><p class=s1>b");
    EXPECT_EQ(replaced("<i style=\"color:red\">a</i> style="),
              "<i style=\"color:red\">a</i> style=");
    EXPECT_EQ(replaced("<p style='color:red'>x<b style='color:red"),
              "<p class=s1>x<b style='color:red");
}

TEST(RebuildStyleBlock, ReplacesEveryHeadStyleElementByOne) {
    WordHtmlCleaner cleaner;
    std::string text =
        "<head><style>a{}</style>\n<style>\n<!--\n/* Style Definitions */\n"
        "h1{color:red}\n-->\n</style><style>b{}</style></head><body>"
        "<style>c{}</style></body>";
    EXPECT_TRUE(cleaner.RebuildStyleBlock(text, "\n.s1{x:y}"));
    EXPECT_EQ(text,
              "<head><style type=\"text/css\">\n<!--\n/* Style Definitions */\nh1{color:red}\n\n"
              "/* =====================*/\n/* Generated by HTML Cleaner for Word */\n"
              ".s1{x:y}\n</style></head><body><style>c{}</style></body>");
}

TEST(CleanWordHtml, MakesLeanHtmlOfAWordPage) {
    OptionFlags options;
    std::vector<std::string> reports;
    const std::optional<std::string> cleaned = CleanWordHtml(
        WordPage("<div class=WordSection1>\n<p class=MsoNormal style='color:red'><span "
                 "style='font-family:Wingdings'>l<span style='font:7.0pt x'>&nbsp;</span></span>"
                 "Item<o:p></o:p></p>\n\n<p class=MsoNormal><span>&nbsp;</span></p>\n</div>"),
        options, [&](const std::string& status) { reports.push_back(status); });
    ASSERT_TRUE(cleaned.has_value());
    EXPECT_THAT(*cleaned, HasSubstr("<p class=s1><span >\u25CF&nbsp;</span>Item</p>"));
    EXPECT_THAT(*cleaned, HasSubstr(".s1{color:red}"));
    EXPECT_THAT(*cleaned, Not(HasSubstr("Wingdings")));
    EXPECT_THAT(*cleaned, Not(HasSubstr("\n\n")));
    EXPECT_EQ(reports, std::vector<std::string>(3, "Optimizing"));

    EXPECT_FALSE(CleanWordHtml("<html><head></head><body>a</body></html>", options));
}

TEST(CleanWordFile, CleansWordPagesAndLeavesOthersUntouched) {
    TempFolder folder;
    const std::string word = folder / "word.htm";
    SaveTextFile(word, WordPage("<p class=MsoNormal style='color:red'>a</p>"));
    std::vector<std::string> reports;
    EXPECT_TRUE(CleanWordFile(word, OptionFlags{},
                              [&](const std::string& status) { reports.push_back(status); }));
    EXPECT_THAT(LoadTextFile(word), HasSubstr("<p class=s1>a</p>"));
    EXPECT_EQ(reports.front(), "Optimizing");
    EXPECT_EQ(reports.back(), "");

    // A page no Word generator names was once saved empty, which made an empty book.
    const std::string other = folder / "other.htm";
    const std::string page = "<html><head><title>x</title></head><body><p>a</p></body></html>";
    SaveTextFile(other, page);
    EXPECT_FALSE(CleanWordFile(other, OptionFlags{}));
    EXPECT_EQ(LoadTextFile(other), page);
    EXPECT_FALSE(CleanWordFile(folder / "missing.htm", OptionFlags{}));
    EXPECT_FALSE(fs::exists(folder / "missing.htm"));
}

// The letters of a page's body, each with its count: what a cleaning must not lose.
std::map<std::string, int> BodyLetters(std::string_view page) {
    std::string body = ExtractBodyText(page);
    DeletePattern(body, "<!--.*?-->");
    DeletePattern(body, "<[^>]*>");
    DeletePattern(body, "&nbsp;|\\s");
    std::map<std::string, int> letters;
    for (std::size_t i = 0; i < body.size();) {
        std::size_t n = 1;  // a whole UTF-8 character
        while (i + n < body.size() && (static_cast<unsigned char>(body[i + n]) & 0xC0) == 0x80) ++n;
        ++letters[body.substr(i, n)];
        i += n;
    }
    return letters;
}

// The letters of `before` that `after` holds fewer of; the text of symbol fonts counts as the
// characters those fonts draw, and the page numbers of a table of contents, which Word hides
// from the web view, are none.
std::string LostLetters(std::string_view before, std::string_view after) {
    std::map<std::string, int> kept = BodyLetters(after);
    std::string shown(before);
    MapWingdingsBullets(shown);
    MapSymbolBullets(shown);
    DropContentsPageNumbers(shown);
    std::string lost;
    for (const auto& [letter, count] : BodyLetters(shown))
        if (kept[letter] < count) lost += letter + " ";
    return lost;
}

TEST(WordCleanersOverCorpus, KeepEveryLetterOfTheBody) {
    const fs::path corpus =
        fs::path(QUIREBOOK_SOURCE_DIR) / ".." / "shared" / "corpus" / "wordhtml" / "utf8";
    std::error_code error;
    if (!fs::is_directory(corpus, error))
        GTEST_SKIP() << "the corpus of real documents is not beside the checkout";
    TempFolder folder;
    int pages = 0;
    for (const fs::directory_entry& document : fs::directory_iterator(corpus)) {
        for (const fs::directory_entry& file : fs::directory_iterator(document.path())) {
            const std::string extension = file.path().extension().string();
            if (extension != ".htm" && extension != ".html") continue;
            ++pages;
            const std::string original = LoadTextFile(file.path().string());
            const std::string copy = folder / "page.htm";
            SaveTextFile(copy, original);
            ASSERT_TRUE(CleanWordFile(copy, OptionFlags{})) << file.path();
            EXPECT_EQ(LostLetters(original, LoadTextFile(copy)), "") << file.path();
            SaveTextFile(copy, original);
            ASSERT_TRUE(SimpleCleanFile(copy)) << file.path();
            EXPECT_EQ(LostLetters(original, LoadTextFile(copy)), "") << file.path();
        }
    }
    EXPECT_GT(pages, 0);
}

}  // namespace
}  // namespace quirebook
