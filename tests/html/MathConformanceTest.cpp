// Equations in chapters: the conformance stage keeps MathML presentation markup in EPUB 3
// chapters (held to what MathML 3 allows) and writes it as XHTML 1.1 that reads right in EPUB 2
// chapters, with the linear form as alttext or title.
#include <pugixml.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "html/Conformance.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Conformed(const std::string& body, int version) {
    ConformOptions options;
    options.EpubVersion = version;
    return ConformChapter("<html><head><title>t</title></head><body>" + body + "</body></html>",
                          options);
}

// The body of a conformed chapter, checked to be well-formed XML.
std::string Body(const std::string& chapter) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(chapter.c_str())) << chapter;
    const std::size_t start = chapter.find("<body>");
    return chapter.substr(start + 6, chapter.find("</body>") - start - 6);
}

constexpr const char* kQuadratic =
    "<p><math display=\"block\"><mi>x</mi><mo>=</mo><mfrac><mrow><mo>−</mo><mi>b</mi>"
    "<mo>±</mo><msqrt><msup><mi>b</mi><mn>2</mn></msup><mo>−</mo><mn>4</mn><mi>a</mi>"
    "<mi>c</mi></msqrt></mrow><mrow><mn>2</mn><mi>a</mi></mrow></mfrac></math></p>";

TEST(MathConformance, Epub3ChaptersKeepMathMlWithItsLinearForm) {
    const std::string body = Body(Conformed(kQuadratic, 3));
    EXPECT_EQ(body,
              "<p><math xmlns=\"http://www.w3.org/1998/Math/MathML\" display=\"block\" "
              "alttext=\"x = (−b ± √(b^2 − 4ac))/(2a)\"><mi>x</mi><mo>=</mo><mfrac><mrow>"
              "<mo>−</mo><mi>b</mi><mo>±</mo><msqrt><msup><mi>b</mi><mn>2</mn></msup><mo>−</mo>"
              "<mn>4</mn><mi>a</mi><mi>c</mi></msqrt></mrow><mrow><mn>2</mn><mi>a</mi></mrow>"
              "</mfrac></math></p>");
    // A chapter read and written again stays as it is.
    EXPECT_EQ(Body(Conformed(body, 3)), body);
    // An alttext the page gives is kept.
    EXPECT_THAT(Conformed("<p><math alttext=\"one half\"><mfrac><mn>1</mn><mn>2</mn></mfrac>"
                          "</math></p>",
                          3),
                HasSubstr("alttext=\"one half\"><mfrac>"));
}

TEST(MathConformance, Epub3MathIsHeldToMathMl3) {
    const std::string body = Body(Conformed(
        "<p><math onclick=\"run()\" id=\"m1\"><mfrac style=\"color:red\" linethickness=\"wide\">"
        "<mn>1</mn></mfrac><msub><mi>a</mi><mi>b</mi><mi>c</mi></msub>"
        "<mi mathvariant=\"fancy\" href=\"#x\">y</mi><mo stretchy=\"false\">)</mo>"
        "<mtable columnalign=\"left right\"><mi>z</mi><mtr><mi>q</mi></mtr></mtable>"
        "<semantics><mi>w</mi><annotation encoding=\"TeX\">w</annotation></semantics>"
        "<mtext>  <b>bold</b>\n text </mtext><mglyph src=\"x.png\" alt=\"g\"/>"
        "<mmultiscripts><mi>C</mi><mi>i</mi><mprescripts/><mi>k</mi></mmultiscripts>"
        "</math></p>",
        3));
    EXPECT_THAT(body, HasSubstr(
                          // A fraction short of a part gets an empty one; scripts too many
                          // make a row.
                          "<mfrac><mn>1</mn><mrow/></mfrac><mrow><mi>a</mi><mi>b</mi><mi>c</mi>"
                          "</mrow><mi>y</mi><mo stretchy=\"false\">)</mo>"
                          // Loose content of a table gets its row and cell.
                          "<mtable columnalign=\"left right\"><mtr><mtd><mi>z</mi></mtd></mtr>"
                          "<mtr><mtd><mi>q</mi></mtd></mtr></mtable>"
                          // An annotated expression is the expression; HTML in a token is its
                          // text, its spaces made one.
                          "<mi>w</mi><mtext>bold text</mtext>"
                          // Scripts come in pairs.
                          "<mmultiscripts><mi>C</mi><mi>i</mi><none/><mprescripts/><mi>k</mi>"
                          "<none/></mmultiscripts></math>"));
    for (const char* gone : {"onclick", "id=", "style=", "wide", "fancy", "href", "annotation",
                             "mglyph", "x.png", "<b>"})
        EXPECT_THAT(body, Not(HasSubstr(gone)));
}

TEST(MathConformance, Epub2ChaptersShowEquationsInXhtml) {
    const std::string body = Body(Conformed(kQuadratic, 2));
    EXPECT_THAT(body, Not(HasSubstr("<math")));
    EXPECT_THAT(body, Not(HasSubstr("<mi")));
    // A display equation is a centred block of its own, titled with its linear form.
    EXPECT_THAT(body, HasSubstr("<p><span class=\"math\" title=\"x = (−b ± √(b^2 − 4ac))/(2a)\" "
                                "style=\"display:block;text-align:center;"));
    // Identifiers in italics, operators between spaces, a sign next to its operand.
    EXPECT_THAT(body, HasSubstr("<i>x</i>\u2005=\u2005<span"));
    EXPECT_THAT(body, HasSubstr(">−<i>b</i>\u2005±\u2005"));
    // The root's line over its radicand, the script raised.
    EXPECT_THAT(body, HasSubstr("√<span style=\"border-top:1px solid;padding:0 0.1em\"><i>b</i>"
                                "<sup>2</sup>\u2005−\u20054<i>a</i><i>c</i></span>"));
    // The fraction's parts one over the other, the bar between them.
    EXPECT_THAT(body, HasSubstr("<span style=\"display:block;padding:0 0.1em;border-top:1px "
                                "solid\">2<i>a</i></span>"));
    // Written again, the chapter stays as it is.
    EXPECT_EQ(Body(Conformed(body, 2)), body);
}

TEST(MathConformance, Epub2AccentsAlphabetsTablesAndLimits) {
    const std::string body = Body(Conformed(
        "<p>Let <math><mover accent=\"true\"><mi>e</mi><mo>^</mo></mover><mo>,</mo>"
        "<mover><mrow><mi>x</mi><mo>+</mo><mi>y</mi></mrow><mo>¯</mo></mover><mo>,</mo>"
        "<mi mathvariant=\"bold\">v</mi><mo>,</mo><mi mathvariant=\"double-struck\">R</mi>"
        "<mo>,</mo><mrow><mo>(</mo><mtable><mtr><mtd><mi>a</mi></mtd><mtd><mi>b</mi></mtd></mtr>"
        "<mtr><mtd><mi>c</mi></mtd><mtd><mi>d</mi></mtd></mtr></mtable><mo>)</mo></mrow>"
        "<mo>,</mo><munderover><mo>∑</mo><mi>i</mi><mi>n</mi></munderover><msub><mi>x</mi>"
        "<mi>i</mi></msub><mo>,</mo><munder><mi>lim</mi><mi>n</mi></munder></math>.</p>",
        2));
    // An accent on one letter is its combining mark; a bar over more is a line over it.
    EXPECT_THAT(body, HasSubstr("<i>e\u0302</i>,\u2005"));
    EXPECT_THAT(body, HasSubstr("<span style=\"text-decoration:overline\"><i>x</i>\u2005+\u2005"
                                "<i>y</i></span>"));
    // Letters of a mathvariant are those of Unicode's alphabets.
    EXPECT_THAT(body, HasSubstr(",\u2005𝐯,\u2005ℝ,\u2005"));
    // A matrix is a small table in brackets as tall as it.
    EXPECT_THAT(body,
                HasSubstr("<span style=\"font-size:170%;line-height:1;vertical-align:middle\">"
                          "(</span><span style=\"display:inline-table;"));
    EXPECT_THAT(body, HasSubstr("<span style=\"display:table-cell;padding:0.15em 0.4em 0.15em "
                                "0.4em;text-align:center\"><i>d</i></span>"));
    // In running text a sum's limits are its scripts, one over the other; a limit stands
    // under its word.
    EXPECT_THAT(body, HasSubstr("∑<span style=\"display:inline-block;vertical-align:-0.4em;"
                                "line-height:1;text-align:left\"><sup style=\"display:block;"
                                "line-height:1.1\"><i>n</i></sup><sub style=\"display:block;"
                                "line-height:1.1\"><i>i</i></sub></span>\u2005<i>x</i><sub><i>i"
                                "</i></sub>"));
    EXPECT_THAT(body, HasSubstr("<span style=\"display:table-row\"><span style=\"display:"
                                "table-cell\">lim</span></span><span style=\"display:table-row\">"
                                "<span style=\"display:table-cell;font-size:75%\"><i>n</i>"));
}

TEST(MathConformance, Epub2EquationsInPreformattedTextAreTheirLinearForm) {
    const std::string body = Body(Conformed(
        "<pre>f = <math><msup><mi>x</mi><mn>2</mn></msup><mo>&lt;</mo><mn>1</mn></math></pre>", 2));
    EXPECT_EQ(body, "<pre>f = <span class=\"math\" title=\"x^2 &lt; 1\">x^2 &lt; 1</span></pre>");
}

}  // namespace
}  // namespace quirebook
