// The XHTML 1.1 conformance stage: element and attribute repairs, content model, ids,
// characters, hostile pages, links across the book, and real corpus books without lost words.
#include "html/Conformance.h"

#include <gumbo.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "CorpusBook.h"
#include "TempFolder.h"
#include "html/ContentFilter.h"
#include "html/NestingLimit.h"
#include "html/XhtmlConversion.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {
namespace {

std::string Page(const std::string& body) {
    return "<html><head><title>T</title></head><body>" + body + "</body></html>";
}

// The text between the body tags of a conformed chapter.
std::string BodyOf(const std::string& conformed) {
    const std::size_t start = conformed.find("<body");
    const std::size_t open = conformed.find('>', start) + 1;
    return conformed.substr(open, conformed.rfind("</body>") - open);
}

std::string ConformBody(const std::string& body) {
    return BodyOf(ConformChapter(Page(body), ConformOptions{}));
}

::testing::AssertionResult IsWellFormed(const std::string& xml) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_doctype);
    if (!parsed)
        return ::testing::AssertionFailure()
               << parsed.description() << " at " << parsed.offset << ": "
               << xml.substr(parsed.offset > 60 ? parsed.offset - 60 : 0, 120);
    if (std::string(document.document_element().name()) != "html")
        return ::testing::AssertionFailure() << "no html root";
    return ::testing::AssertionSuccess();
}

// The words of a text, split at white space.
std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

// The words of a text run together: white space between blocks and table cells may go, the
// characters of the words may not.
std::string Letters(const std::string& text) {
    std::string letters;
    for (const std::string& word : Words(text)) letters += word;
    return letters;
}

// Success when the texts are equal, else where they first differ.
::testing::AssertionResult SameText(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const std::size_t from = at > 40 ? at - 40 : 0;
    return ::testing::AssertionFailure()
           << "first difference at " << at << ": got \"" << actual.substr(from, 80)
           << "\", expected \"" << expected.substr(from, 80) << "\"";
}

// The text of the body as a browser parses the page, scripts and style sheets aside.
std::string ParsedBodyText(const std::string& page) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    std::string text;
    std::vector<const GumboNode*> stack{output->root};
    bool inBody = false;
    while (!stack.empty()) {
        const GumboNode* node = stack.back();
        stack.pop_back();
        if (node == nullptr) continue;
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            if (inBody) text += node->v.text.text;
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT) continue;
        const GumboTag tag = node->v.element.tag;
        if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_NOSCRIPT ||
            tag == GUMBO_TAG_TEMPLATE || tag == GUMBO_TAG_TITLE || tag == GUMBO_TAG_IFRAME ||
            tag == GUMBO_TAG_HEAD)
            continue;
        if (tag == GUMBO_TAG_BODY) inBody = true;
        const GumboVector& children = node->v.element.children;
        for (unsigned i = children.length; i > 0; --i)
            stack.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return text;
}

// The text of the body of a conformed chapter, read as XML.
std::string XmlBodyText(const std::string& xml) {
    pugi::xml_document document;
    document.load_buffer(xml.data(), xml.size());
    const pugi::xml_node body = document.document_element().child("body");
    std::string text;
    for (const pugi::xpath_node& node : body.select_nodes(".//text()")) text += node.node().value();
    return text;
}

TEST(ConformChapter, WritesOneHeaderHeadAndTitle) {
    const std::string page = ConformChapter(
        "<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"iso-8859-1\">"
        "<script>var x = 1 < 2;</script><base href=\"http://x/\"><title>A</title></head>"
        "<body><p>x</p><title>B</title><script>alert(1)</script><noscript>n</noscript>"
        "</body></html>",
        ConformOptions{"fr", "Fallback"});
    EXPECT_TRUE(IsWellFormed(page));
    EXPECT_EQ(page.rfind(XhtmlHeader("fr"), 0), 0u) << page;
    EXPECT_NE(page.find("<title>A</title>"), std::string::npos);
    EXPECT_EQ(page.find("<title>B</title>"), std::string::npos);
    EXPECT_NE(
        page.find("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"),
        std::string::npos)
        << page;
    for (const char* gone : {"script", "alert", "base", "noscript", "lang=\"de\""})
        EXPECT_EQ(page.find(gone), std::string::npos) << gone;
    // English needs no xml:lang; a page without a title gets the given one.
    const std::string english =
        ConformChapter("<p>only text</p>", ConformOptions{"en", "Chapter & one"});
    EXPECT_EQ(english.rfind(XhtmlHeader("en"), 0), 0u);
    EXPECT_NE(english.find("<title>Chapter &amp; one</title>"), std::string::npos);
    EXPECT_TRUE(IsWellFormed(english));
    // A language option that is no language tag cannot break the html tag.
    EXPECT_TRUE(IsWellFormed(ConformChapter("<p>x</p>", ConformOptions{"e\"n", ""})));
}

TEST(ConformChapter, RenamesElementsOutsideXhtml) {
    EXPECT_EQ(ConformBody("<section class=\"c\"><p>a</p></section>"),
              "<div class=\"c section\"><p>a</p></div>");
    EXPECT_EQ(ConformBody("<article><header>h</header><nav>n</nav><footer>f</footer></article>"),
              "<div class=\"article\"><div class=\"header\">h</div><div class=\"nav\">n</div>"
              "<div class=\"footer\">f</div></div>");
    EXPECT_EQ(ConformBody("<p><mark>m</mark> <time>t</time> <u>u</u></p>"),
              "<p><span class=\"mark\">m</span> <span class=\"time\">t</span> "
              "<span class=\"u\">u</span></p>");
    EXPECT_EQ(ConformBody("<figure><img src=\"a.png\" alt=\"A\"><figcaption>c</figcaption>"
                          "</figure>"),
              "<div class=\"figure\"><img src=\"a.png\" alt=\"A\" />"
              "<div class=\"figcaption\">c</div></div>");
    // An unknown element is a span, or a div when it holds blocks.
    EXPECT_EQ(ConformBody("<p><x-note>n</x-note></p>"), "<p><span class=\"x-note\">n</span></p>");
    EXPECT_EQ(ConformBody("<x-box><p>a</p></x-box>"), "<div class=\"x-box\"><p>a</p></div>");
    EXPECT_EQ(ConformBody("<menu><li>a</li></menu>"), "<ul class=\"menu\"><li>a</li></ul>");
    // Inline SVG keeps its text as spans.
    EXPECT_EQ(ConformBody("<p><svg><text>s</text></svg></p>"),
              "<p><span class=\"svg\"><span class=\"text\">s</span></span></p>");
}

TEST(ConformChapter, DropsOrMovesAttributesNotAllowed) {
    EXPECT_EQ(ConformBody("<p data-x=\"1\" aria-label=\"l\" role=\"note\" onclick=\"f()\" "
                          "epub:type=\"z3998:poem\" lang=\"en-GB\" dir=\"sideways\">a</p>"),
              "<p class=\"z3998:poem\" xml:lang=\"en-GB\">a</p>");
    EXPECT_EQ(ConformBody("<table><tr><td width=\"40\" height=\"50%\" nowrap bgcolor=\"red\" "
                          "colspan=\"x\" rowspan=\"2\" valign=\"TOP\">c</td></tr></table>"),
              "<table><tbody><tr><td rowspan=\"2\" valign=\"top\" "
              "style=\"width: 40px; height: 50%\">c</td></tr></tbody></table>");
    EXPECT_EQ(ConformBody("<p align=\"Center\" style=\"color: red\">a</p><div align=\"x\">b</div>"),
              "<p style=\"color: red; text-align: center\">a</p><div>b</div>");
    // Books take no forms: their text stays in div and span.
    EXPECT_EQ(ConformBody("<form action=\"x\"><fieldset><legend>L</legend><label for=\"i\">a"
                          "</label><input id=\"i\" type=\"text\"><select><option>o</option>"
                          "</select><textarea>t</textarea><button>b</button></fieldset></form>"),
              "<div class=\"form\"><div class=\"fieldset\"><div class=\"legend\">L</div>"
              "<span class=\"label\">a</span><span class=\"select\"><span class=\"option\">o"
              "</span></span><span class=\"textarea\">t</span><span class=\"button\">b</span>"
              "</div></div>");
    // An image always has alt; ul and ol take no legacy attributes.
    EXPECT_EQ(ConformBody("<p><img src=\"a.png\" border=\"0\" loading=\"lazy\"></p>"
                          "<ol start=\"3\" type=\"a\"><li value=\"2\">x</li></ol>"),
              "<p><img src=\"a.png\" alt=\"\" /></p><ol><li>x</li></ol>");
}

TEST(ConformChapter, MendsTheContentModel) {
    // Body and blockquote hold blocks only, and the body at least one.
    EXPECT_EQ(ConformBody(""), "<div></div>");
    EXPECT_EQ(ConformBody(" \n<!-- c -->"), "<div></div>");
    EXPECT_EQ(ConformBody("text <b>bold</b><p>p</p>\n<i>i</i>"),
              "<div>text <b>bold</b></div><p>p</p><div>\n<i>i</i></div>");
    EXPECT_EQ(ConformBody("<blockquote>q<p>p</p></blockquote>"),
              "<blockquote><div>q</div><p>p</p></blockquote>");
    // A block in an inline-only element is split out; the first piece keeps the id.
    EXPECT_EQ(ConformBody("<h2 class=\"h\"><span id=\"s\" class=\"c\">a<div>b</div>c</span></h2>"),
              "<h2 class=\"h\"><span id=\"s\" class=\"c\">a</span></h2><div>b</div>"
              "<h2 class=\"h\"><span class=\"c\">c</span></h2>");
    // A block closes a paragraph (and what is open in it) as browsers do.
    EXPECT_EQ(ConformBody("<p><span>a<div>b</div>c</span></p>"),
              "<p><span>a</span></p><div>b</div><div>c</div><p></p>");
    EXPECT_EQ(ConformBody("<h1><div>t</div></h1>"), "<div>t</div>");
    // Lists, definition lists and tables keep valid children.
    EXPECT_EQ(ConformBody("<ul>loose<li>a</li><b>b</b></ul><ul> </ul><li>stray</li>"),
              "<ul><li>loose</li><li>a</li><li><b>b</b></li></ul><div class=\"li\">stray</div>");
    EXPECT_EQ(ConformBody("<dl><dt>t</dt><p>x</p></dl><dd>d</dd>"),
              "<dl><dt>t</dt><dd><p>x</p></dd></dl><div class=\"dd\">d</div>");
    EXPECT_EQ(ConformBody("<table><tbody><tr><td>1</td></tr></tbody><caption>c</caption>"
                          "<col></table>"),
              "<table><caption>c</caption><colgroup><col "
              "/></colgroup><tbody><tr><td>1</td></tr></tbody></table>");
    EXPECT_EQ(ConformBody("<table><caption>only</caption></table>"),
              "<div class=\"table\"><div class=\"caption\">only</div></div>");
    EXPECT_EQ(ConformBody("<table id=\"t\"><tr></tr></table>"),
              "<div id=\"t\" class=\"table\"></div>");
    // What an ancestor rules out: a link in a link, an image in pre.
    EXPECT_EQ(ConformBody("<p><a href=\"#x\">a<span><a href=\"#y\">b</a></span></a></p>"),
              "<p><a href=\"#x\">a<span></span></a><a href=\"#y\">b</a></p>");
    EXPECT_EQ(ConformBody("<pre>a <img src=\"i.png\" alt=\"pic\"> <sub>2</sub></pre>"),
              "<pre>a pic <span class=\"sub\">2</span></pre>");
    EXPECT_EQ(ConformBody("<div><a id=\"k\"><div>in</div></a></div>"),
              "<div><a id=\"k\"></a><div>in</div></div>");
}

TEST(ConformChapter, MakesIdsValidAndUnique) {
    EXPECT_EQ(ConformBody("<p id=\"1 a\"><a href=\"#1%20a\">l</a><a href=\"other.html#2\">m</a>"
                          "<a href=\"http://x/#3\">n</a></p>"),
              "<p id=\"_1_a\"><a href=\"#_1_a\">l</a><a href=\"other.html#_2\">m</a>"
              "<a href=\"http://x/#3\">n</a></p>");
    // The first element keeps an id; a name becomes the id of a link that has none.
    EXPECT_EQ(ConformBody("<p id=\"d\">a</p><p id=\"d\">b</p><a name=\"n\" id=\"i\"></a>"
                          "<a name=\"d\">c</a><a name=\"e\">e</a>"),
              "<p id=\"d\">a</p><p>b</p><div><a id=\"i\"></a><a>c</a><a id=\"e\">e</a></div>");
    // References to ids the chapter lacks go.
    EXPECT_EQ(ConformBody("<p id=\"f\">a</p><table><tr><td headers=\"f no\">c</td>"
                          "<td headers=\"no\">d</td></tr></table>"),
              "<p id=\"f\">a</p><table><tbody><tr><td headers=\"f\">c</td><td>d</td></tr>"
              "</tbody></table>");
    const ConformedChapter page(Page("<p id=\"x\">a</p><div id=\"9\">"
                                     "<span id=\"x\">b</span></div>"),
                                ConformOptions{});
    EXPECT_EQ(page.Ids(), (std::vector<std::string>{"x", "_9"}));
    EXPECT_EQ(
        ConformedChapter("<style>a[id=\"no\"] > b {}</style><p>id=\"no\"</p>", ConformOptions{})
            .Ids(),
        std::vector<std::string>{});
}

TEST(ConformChapter, WritesCharactersAsWellFormedXml) {
    // Named entities of HTML become characters; markup characters are escaped.
    EXPECT_EQ(ConformBody("<p>a&hellip;b&nbsp;&rarr; &amp; 1 < 2 &gt; 0 &bogus;</p>"),
              "<p>a\xE2\x80\xA6"
              "b\xC2\xA0\xE2\x86\x92 &amp; 1 &lt; 2 &gt; 0 &amp;bogus;</p>");
    EXPECT_EQ(ConformBody("<p title='say \"hi\" &amp; <go>'>x</p>"),
              "<p title=\"say &quot;hi&quot; &amp; &lt;go&gt;\">x</p>");
    // Control characters never reach the XML (the parser makes them U+FFFD; a title given by
    // the caller loses them); invalid UTF-8 becomes U+FFFD.
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(ConformBody(std::string("<p>a\x01\x0b\tb\xff\xc3(c\xed\xa0\x80</p>")),
              "<p>a" + replacement + replacement + "\tb" + replacement + replacement + "(c" +
                  replacement + replacement + replacement + "</p>");
    EXPECT_NE(ConformChapter("<p>x</p>", ConformOptions{"en",
                                                        "a\x01\x1f\xef\xbf\xbf"
                                                        "b\xc0\xaf"
                                                        "c"})
                  .find("<title>ab" + replacement + replacement + "c</title>"),
              std::string::npos);
    // Comments go, even one holding "--".
    EXPECT_EQ(ConformBody("<p>a<!-- x -- y -->b</p>"), "<p>ab</p>");
    // A style sheet with markup characters sits in a CDATA section hidden from CSS; body
    // styles move to the head.
    const std::string page = ConformChapter(
        "<head><style>a > b { content: \"&\" } /* ]]> */</style></head>"
        "<body><style>p { color: red }</style><p>x</p></body>",
        ConformOptions{});
    EXPECT_TRUE(IsWellFormed(page));
    EXPECT_NE(page.find("<style type=\"text/css\">/*<![CDATA[*/a > b { content: \"&\" } /* "
                        "]]]]><![CDATA[> */"
                        "/*]]>*/</style><style type=\"text/css\">p { color: red }</style>"),
              std::string::npos)
        << page;
    EXPECT_EQ(BodyOf(page), "<p>x</p>");
    // Read and written again, the chapter stays the same.
    EXPECT_EQ(ConformChapter(page, ConformOptions{}), page);
}

TEST(ConformChapter, SurvivesHostilePages) {
    std::string nested;
    for (int i = 0; i < 10000; ++i) nested += "<div><span>";
    nested += "deep";
    const std::string deep = ConformChapter(nested, ConformOptions{});
    EXPECT_TRUE(IsWellFormed(deep));
    EXPECT_NE(deep.find("deep"), std::string::npos);

    std::string formatting;
    for (int i = 0; i < 10000; ++i) formatting += "<b id=\"" + std::to_string(i) + "\">w ";
    formatting += "<p>end";
    const std::string bold = ConformChapter(formatting, ConformOptions{});
    EXPECT_TRUE(IsWellFormed(bold));
    EXPECT_EQ(Words(XmlBodyText(bold)).size(), 10001u);

    std::string binary;
    for (int i = 0; i < 200000; ++i) binary += static_cast<char>((i * 7919 + i / 13) % 256);
    EXPECT_TRUE(IsWellFormed(ConformChapter(binary, ConformOptions{})));
    EXPECT_TRUE(IsWellFormed(
        ConformChapter("<p class=\"x<table><tr><td>a</p></tbody><li", ConformOptions{})));

    // Pages of 1 MB and 10 MB on one line: ten times the text takes about ten times the
    // processor time (a step growing with the square of the size would take a hundred times).
    // Processor time, and a ratio, so that a loaded machine or a sanitizer build does not
    // decide the verdict.
    const auto processorSeconds = [](std::size_t size, std::string& conformed) {
        std::string page;
        page.reserve(size + 64);
        while (page.size() < size) page += "<p>word <b>bold <i>both</b> text</i> &amp; more";
        const std::clock_t start = std::clock();
        conformed = ConformChapter(page, ConformOptions{});
        return double(std::clock() - start) / CLOCKS_PER_SEC;
    };
    std::string small, large;
    const double smallSeconds = processorSeconds(1u << 20, small);
    const double largeSeconds = processorSeconds(10u << 20, large);
    EXPECT_LT(largeSeconds, 25 * std::max(smallSeconds, 0.01));
    EXPECT_TRUE(IsWellFormed(small));
    EXPECT_TRUE(IsWellFormed(large));
}

TEST(LimitNesting, RemovesOnlyTagsBeyondTheDepth) {
    EXPECT_EQ(LimitNesting("<div><div><div>a</div></div></div>", 2), "<div><div>a</div></div>");
    // Self-closing elements, void elements, raw text and comments are not counted.
    const std::string flat =
        "<div><p>1<p>2<li>3<br><img src=x><script><div><div></script><!--<div><div>--></div>";
    EXPECT_EQ(LimitNesting(flat, 1), flat);
    EXPECT_EQ(LimitNesting("<b title=\"<i>\"><i>x</i></b>", 1), "<b title=\"<i>\">x</b>");
}

// A book of two chapters in text/, a picture in images/, a style sheet.
BookLinks TwoChapterBook() {
    BookLinks book;
    book.AddChapter("text/one.html", {"a", "shared"});
    book.AddChapter("text/two.html", {"b", "shared"});
    book.AddChapter("three.html", {"c"});
    book.AddFile("images/pic.png");
    book.AddFile("css/book.css");
    return book;
}

std::string FixedBody(const std::string& body) {
    return BodyOf(ConformedChapter(Page(body), ConformOptions{})
                      .WithBookLinks("text/one.html", TwoChapterBook()));
}

TEST(WithBookLinks, PointsFragmentsAtTheChapterDefiningThem) {
    EXPECT_EQ(FixedBody("<p><a href=\"#a\">1</a><a href=\"#b\">2</a><a href=\"two.html#a\">3</a>"
                        "<a href=\"#c\">4</a></p>"),
              "<p><a href=\"#a\">1</a><a href=\"two.html#b\">2</a><a href=\"one.html#a\">3</a>"
              "<a href=\"../three.html#c\">4</a></p>");
    // Defined by several chapters, or by none: the fragment goes.
    EXPECT_EQ(FixedBody("<p><a href=\"two.html#shared\">1</a><a href=\"#nowhere\">2</a>"
                        "<a href=\"two.html#nowhere\">3</a><a href=\"two.html?q=1#b\">4</a></p>"),
              "<p><a href=\"two.html#shared\">1</a><a href=\"one.html\">2</a>"
              "<a href=\"two.html\">3</a><a href=\"two.html#b\">4</a></p>");
}

// The link pass works on the tree the first pass built; reading the written chapter again must
// give that same tree, or a book would depend on how often its chapters were parsed.
TEST(WithBookLinks, GivesWhatTheWrittenChapterReadAgainGives) {
    const std::vector<std::string> pages = {
        Page("<p title=\"a&#13;&#10;b&#13;c\">x&#13;&#10;y&#13;z\r\n</p>"),
        Page("<table> <tr> <td headers=\"h no\" id=\"h\">a</td> </tr> x </table>\n"),
        Page("<a href=\"#a\" id=\"a\"><a href=\"two.html#b\">in</a><div>block</div></a>"),
        "<html lang=\"fr\"><head><style><!-- a { x: \"&\" } --></style></head>"
        "<body>text <img src=\"missing.png\" alt=\"A\" id=\"i\"> <link href=\"x.css\"></body>",
        "<title>t</title><frameset><frame src=\"a.html\"></frameset>",
        "\xEF\xBB\xBF<p>a\r\nb\rc\x01\xff</p></body> \n <p>after</p>\n</html>\n\n"};
    for (const std::string& page : pages) {
        const ConformOptions options{"fr", "T"};
        ConformedChapter held(page, options);
        const std::string written = held.Written();
        EXPECT_EQ(
            held.WithBookLinks("text/one.html", TwoChapterBook()),
            ConformedChapter(written, options).WithBookLinks("text/one.html", TwoChapterBook()))
            << page;
    }
}

// What a second parse of the written chapter lost, parsed once: the line an HTML parser drops
// after <pre> (the written one is kept by XML readers), and a style sheet's ">" (escaped as XML
// text, then read as raw style text).
TEST(WithBookLinks, KeepsPreformattedLinesAndStyleSheetCharacters) {
    const std::string page = ConformedChapter(
                                 "<head><style>a > b { color: red }</style></head>"
                                 "<body><pre>\n\nindented</pre></body>",
                                 ConformOptions{})
                                 .WithBookLinks("one.html", BookLinks());
    pugi::xml_document document;
    ASSERT_TRUE(
        document.load_buffer(page.data(), page.size(), pugi::parse_default | pugi::parse_doctype));
    EXPECT_EQ(std::string(document.select_node("//pre").node().child_value()), "\nindented");
    EXPECT_EQ(std::string(document.select_node("//style").node().child_value()),
              "a > b { color: red }");
}

TEST(WithBookLinks, KeepsOnlyFilesTheBookHolds) {
    EXPECT_EQ(
        FixedBody("<p><a href=\"missing.html\">gone</a> <a id=\"k\" href=\"/etc/x\">kept</a>"
                  " <a href=\"http://example.org/\">web</a> <a href=\"mailto:a@b\">mail</a>"
                  " <a href=\"javascript:f()\">js</a> <a href=\"../../out.html\">out</a></p>"),
        "<p>gone <span id=\"k\">kept</span> <a href=\"http://example.org/\">web</a> "
        "<a href=\"mailto:a@b\">mail</a> js out</p>");
    EXPECT_EQ(FixedBody("<p><img src=\"../images/pic.png\" alt=\"P\"><img src=\"pic.png\" "
                        "alt=\"Q\"><img src=\"http://x/y.png\" alt=\"R\"></p>"),
              "<p><img src=\"../images/pic.png\" alt=\"P\" />QR</p>");
    const std::string page =
        ConformedChapter(
            "<html lang=\"de\"><head><link rel=\"stylesheet\" href=\"../css/book.css\">"
            "<link rel=\"stylesheet\" href=\"http://x/y.css\"></head><body>b</body>",
            ConformOptions{"de", "T"})
            .WithBookLinks("text/one.html", TwoChapterBook());
    EXPECT_TRUE(IsWellFormed(page));
    EXPECT_NE(page.find("href=\"../css/book.css\""), std::string::npos);
    EXPECT_EQ(page.find("http://x/y.css"), std::string::npos);
    EXPECT_EQ(page.rfind(XhtmlHeader("de"), 0), 0u);
}

// The id attributes of a well-formed document, in document order.
std::vector<std::string> XmlIds(const std::string& xml) {
    pugi::xml_document document;
    std::vector<std::string> ids;
    document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_doctype);
    for (const pugi::xpath_node& node : document.select_nodes("//*[@id]"))
        ids.emplace_back(node.node().attribute("id").value());
    return ids;
}

// Every file under `folder`, as a path relative to it.
std::vector<std::string> FilesUnder(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(std::filesystem::relative(entry.path(), folder).generic_string());
    return files;
}

class CorpusConformance : public ::testing::TestWithParam<const char*> {};

// The chapters after the whole conversion chain go through both passes: well-formed, every word
// of the body kept, every in-book link meeting its target.
TEST_P(CorpusConformance, KeepsEveryWordAndLink) {
    testing::TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    if (!testing::ConvertCorpusWebBook(GetParam(), book))
        GTEST_SKIP() << "the corpus of real documents is not beside the checkout";

    BookLinks links;
    for (const std::string& file : FilesUnder(book.SourceFolder)) links.AddFile(file);
    std::vector<ConformedChapter> conformed;
    std::vector<std::string> written;
    double seconds = 0;
    for (const std::string& chapter : book.ChapterFiles) {
        const std::string text = LoadTextFile(book.OpsFolder + chapter);
        const auto start = std::chrono::steady_clock::now();
        conformed.emplace_back(text, ConformOptions{"en", chapter});
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        written.push_back(conformed.back().Written());
        links.AddChapter(chapter, conformed.back().Ids());
        ASSERT_TRUE(IsWellFormed(written.back())) << chapter;
        EXPECT_EQ(conformed.back().Ids(), XmlIds(written.back())) << chapter;
        EXPECT_TRUE(SameText(Letters(XmlBodyText(written.back())), Letters(ParsedBodyText(text))))
            << chapter;
    }
    RecordProperty("ConformSeconds", std::to_string(seconds));
    for (std::size_t i = 0; i < conformed.size(); ++i) {
        const std::string& chapter = book.ChapterFiles[i];
        const std::string fixed = conformed[i].WithBookLinks(chapter, links);
        ASSERT_TRUE(IsWellFormed(fixed)) << chapter;
        pugi::xml_document document;
        document.load_buffer(fixed.data(), fixed.size());
        for (const pugi::xpath_node& a : document.select_nodes("//a[@href]")) {
            const std::string href = a.node().attribute("href").value();
            if (href.find(':') != std::string::npos) continue;
            const std::size_t hash = href.find('#');
            std::string file = PercentDecode(href.substr(0, hash));
            if (file.rfind("./", 0) == 0) file.erase(0, 2);
            if (file.empty()) file = chapter;
            EXPECT_TRUE(links.HoldsFile(file)) << chapter << ": " << href;
            if (hash != std::string::npos && links.IsChapter(file)) {
                EXPECT_TRUE(links.Defines(file, href.substr(hash + 1))) << chapter << ": " << href;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WebBooks, CorpusConformance,
                         ::testing::Values("debian-reference", "gutenberg-15122",
                                           "python-3.11-tutorial", "standardebooks-flatland"));

}  // namespace
}  // namespace quirebook
