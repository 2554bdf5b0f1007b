// The conformance stage with EpubVersion 3: chapters held to HTML5 in its XML form, keeping the
// HTML5 elements and epub:type that XHTML 1.1 chapters turn into div, span and class.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "html/Conformance.h"
#include "html/XhtmlModel.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Conform(const std::string& page, int version = 3) {
    ConformOptions options;
    options.EpubVersion = version;
    return ConformChapter(page, options);
}

std::string Page(const std::string& body) {
    return "<html><head><title>T</title></head><body>" + body + "</body></html>";
}

std::string Body(const std::string& body, int version = 3) {
    const std::string conformed = Conform(Page(body), version);
    const std::size_t open = conformed.find('>', conformed.find("<body")) + 1;
    return conformed.substr(open, conformed.rfind("</body>") - open);
}

TEST(Html5Conformance, AnHtml5PageKeepsItsSectionsFiguresAndDocumentType) {
    const std::string page = Page(
        "<section id=\"s\"><header><h1>Title</h1></header><article><p>Text <mark>marked</mark> "
        "on <time datetime=\"2024-05-01\">May Day</time></p></article>"
        "<aside>Aside</aside><nav><a href=\"#s\">Up</a></nav>"
        "<figure><img src=\"a.png\" alt=\"A\"><figcaption>Caption</figcaption></figure>"
        "<footer>End</footer></section>");
    const std::string html5 = Conform(page);
    EXPECT_THAT(html5, HasSubstr("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<!DOCTYPE html>"
                                 "\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\">"));
    EXPECT_THAT(html5, HasSubstr("<section id=\"s\"><header><h1>Title</h1></header><article>"));
    EXPECT_THAT(html5, HasSubstr("<mark>marked</mark> on <time datetime=\"2024-05-01\">"));
    EXPECT_THAT(html5, HasSubstr("<aside>Aside</aside><nav>"));
    EXPECT_THAT(html5, HasSubstr("<figure><img src=\"a.png\" alt=\"A\" /><figcaption>Caption"
                                 "</figcaption></figure><footer>End</footer></section>"));
    pugi::xml_document parsed;
    EXPECT_TRUE(parsed.load_string(html5.c_str()));

    // The same page as XHTML 1.1: the elements become div and span, their names classes.
    const std::string xhtml = Conform(page, 2);
    EXPECT_THAT(xhtml, HasSubstr("XHTML 1.1"));
    EXPECT_THAT(xhtml, HasSubstr("<div id=\"s\" class=\"section\"><div class=\"header\">"));
    EXPECT_THAT(xhtml, HasSubstr("<span class=\"mark\">marked</span>"));
    EXPECT_THAT(xhtml, Not(HasSubstr("<section")));
}

TEST(Html5Conformance, EpubTypeStaysAnAttributeWithTheVocabulariesThePageDeclared) {
    const std::string page =
        "<html epub:prefix=\"z3998: http://www.daisy.org/z3998/2012/vocab/structure/#\">"
        "<head><title>T</title></head><body><section epub:type=\"chapter z3998:roman se:name\">"
        "<p epub:type=\"se:only\">x</p></section></body></html>";
    const std::string html5 = Conform(page);
    EXPECT_THAT(html5, HasSubstr("<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                                 "xmlns:epub=\"http://www.idpf.org/2007/ops\" epub:prefix=\"z3998: "
                                 "http://www.daisy.org/z3998/2012/vocab/structure/#\">"));
    // "se:" was never declared: its values go, and an element left with none carries none.
    EXPECT_THAT(html5, HasSubstr("<section epub:type=\"chapter z3998:roman\"><p>x</p>"));
    // Without epub:type the namespace is not declared.
    EXPECT_THAT(Conform(Page("<p>x</p>")), Not(HasSubstr("xmlns:epub")));
    // As XHTML 1.1 the values join the class.
    EXPECT_THAT(Conform(page, 2), HasSubstr("class=\"chapter z3998:roman se:name section\""));
}

TEST(Html5Conformance, ObsoleteElementsAndAttributesGiveWayToHtml5Ones) {
    EXPECT_EQ(Body("<p><tt>code</tt> <big>loud</big> <acronym title=\"t\">NATO</acronym></p>"),
              "<p><span class=\"tt\" style=\"font-family: monospace\">code</span> <span "
              "class=\"big\" style=\"font-size: larger\">loud</span> <abbr title=\"t\" "
              "class=\"acronym\">NATO</abbr></p>");
    const std::string table = Body(
        "<table summary=\"s\" width=\"80%\" border=\"1\" cellpadding=\"2\"><tr valign=\"top\">"
        "<th abbr=\"a\" scope=\"col\">h</th><td align=\"right\" valign=\"bottom\" axis=\"x\" "
        "scope=\"row\">d</td></tr></table><img src=\"a.png\" alt=\"\" width=\"50%\" "
        "longdesc=\"d.htm\">");
    EXPECT_EQ(
        table,
        "<table border=\"1\" style=\"width: 80%\"><tbody><tr style=\"vertical-align: top\"><th "
        "scope=\"col\">h</th><td style=\"text-align: right; vertical-align: bottom\">d</td>"
        "</tr></tbody></table><div><img src=\"a.png\" alt=\"\" style=\"width: 50%\" /></div>");
    // XHTML 1.1 keeps them all.
    EXPECT_THAT(Body("<table summary=\"s\"><tr valign=\"top\"><td>d</td></tr></table>", 2),
                HasSubstr("<table summary=\"s\"><tbody><tr valign=\"top\">"));
}

TEST(Html5Conformance, DatesHtml5CannotReadAreDropped) {
    EXPECT_EQ(Body("<p><time datetime=\"soon\">soon</time><time datetime=\"2024\">y</time>"
                   "<time datetime=\"10:30\">t</time><ins datetime=\"2024\">i</ins>"
                   "<del datetime=\"2024-05-01T10:30:00+02:00\">d</del></p>"),
              "<p><time>soon</time><time datetime=\"2024\">y</time><time datetime=\"10:30\">t"
              "</time><ins>i</ins><del datetime=\"2024-05-01T10:30:00+02:00\">d</del></p>");
    for (const char* valid :
         {"2024-05-01", "2024-05-01T10:30Z", "2024-05-01 10:30:15.25", "2024-05-01T10:30-05:00"})
        EXPECT_TRUE(xhtml::IsHtml5DateTime(valid, false)) << valid;
    for (const char* invalid :
         {"2024-5-01", "2024-05-01T", "24-05-01", "2024-05-01T10:30+5", "", "2024-05-01T10:30:15."})
        EXPECT_FALSE(xhtml::IsHtml5DateTime(invalid, true)) << invalid;
}

TEST(Html5Conformance, ContentHtml5ForbidsIsMended) {
    // A header within a header, a caption in the middle of a figure, a caption outside one.
    EXPECT_EQ(Body("<header><header>h</header></header>"),
              "<header><div class=\"header\">h</div></header>");
    EXPECT_EQ(Body("<figure><figcaption>a</figcaption><p>p</p><figcaption>b</figcaption>"
                   "</figure>"),
              "<figure><figcaption>a</figcaption><p>p</p><div class=\"figcaption\">b</div>"
              "</figure>");
    EXPECT_EQ(Body("<figure><p>p</p><figcaption>b</figcaption></figure>"),
              "<figure><p>p</p><figcaption>b</figcaption></figure>");
    EXPECT_EQ(Body("<div><figcaption>loose</figcaption></div>"),
              "<div><div class=\"figcaption\">loose</div></div>");
    // Terms and descriptions come in groups: a lone description gets a term, a lone term a
    // description.
    EXPECT_EQ(Body("<dl><dd>d</dd><dt>t</dt><dd>e</dd><dt>last</dt></dl>"),
              "<dl><dt></dt><dd>d</dd><dt>t</dt><dd>e</dd><dt>last</dt><dd></dd></dl>");
    // A header cell's id is what headers may name.
    EXPECT_EQ(Body("<table><tr><th id=\"h\">H</th><td id=\"c\">C</td></tr><tr><td "
                   "headers=\"h c\">x</td></tr></table>"),
              "<table><tbody><tr><th id=\"h\">H</th><td id=\"c\">C</td></tr><tr><td "
              "headers=\"h\">x</td></tr></tbody></table>");
}

}  // namespace
}  // namespace quirebook
