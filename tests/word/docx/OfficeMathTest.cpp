// Word's equations as MathML: each Office Math construct from literal OMML, the linear form
// written as alttext, what is not understood, and which equations stand alone in their
// paragraphs.
#include <pugixml.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "word/docx/OfficeMath.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;

// A math run of `text` with run properties `properties` (m:sty, m:scr, m:nor).
std::string MathRun(const std::string& text, const std::string& properties = "") {
    return "<m:r>" + (properties.empty() ? "" : "<m:rPr>" + properties + "</m:rPr>") +
           "<m:t xml:space=\"preserve\">" + text + "</m:t></m:r>";
}

std::string Plain(const std::string& text) {
    return MathRun(text, "<m:sty m:val=\"p\"/>");
}

struct Converted {
    std::string MathMl;  // the markup of the math element's content, without its attributes
    std::string Alttext;
    std::size_t NotUnderstood = 0;
};

// The MathML of an equation holding `omml`.
Converted Convert(const std::string& omml, bool display = false) {
    pugi::xml_document document;
    const std::string xml = "<m:oMath>" + omml + "</m:oMath>";
    EXPECT_TRUE(document.load_string(xml.c_str())) << xml;
    Converted converted;
    const MathElement math =
        OfficeMathToMathMl(document.first_child(), display, converted.NotUnderstood);
    const std::string markup = MathMlMarkup(math, false);
    converted.MathMl = markup.substr(markup.find('>') + 1);
    converted.MathMl.resize(converted.MathMl.size() - std::string("</math>").size());
    if (const std::string* alttext = math.Attribute("alttext")) converted.Alttext = *alttext;
    return converted;
}

TEST(OfficeMath, RunsBecomeIdentifiersNumbersOperatorsAndText) {
    // Letters in italics are one identifier each; a plain run's letters are one word, a plain
    // letter says it is upright; numbers keep their decimal point; a hyphen is the minus sign.
    EXPECT_EQ(Convert(MathRun("ab") + Plain("=") + MathRun("3.14") + Plain("-") + Plain("sin") +
                      Plain("d") + MathRun("x"))
                  .MathMl,
              "<mi>a</mi><mi>b</mi><mo>=</mo><mn>3.14</mn><mo>−</mo><mi>sin</mi>"
              "<mi mathvariant=\"normal\">d</mi><mi>x</mi>");
    // Normal text keeps its spaces; so does a text run (w:r) inside an equation.
    EXPECT_EQ(Convert(MathRun("if x", "<m:nor/>") +
                      "<w:r><w:t xml:space=\"preserve\">for all </w:t></w:r>")
                  .MathMl,
              "<mtext>if x</mtext><mtext>for all\u00A0</mtext>");
    // Bold, script, double-struck and fraktur letters are those of Unicode's mathematical
    // alphabets, which every MathML renderer shows.
    EXPECT_EQ(
        Convert(MathRun("x", "<m:sty m:val=\"b\"/>") +
                MathRun("R", "<m:scr m:val=\"double-struck\"/><m:sty m:val=\"p\"/>") +
                MathRun("L", "<m:scr m:val=\"script\"/>") +
                MathRun("g", "<m:scr m:val=\"fraktur\"/>") + MathRun("2", "<m:sty m:val=\"b\"/>"))
            .MathMl,
        "<mi>𝐱</mi><mi>ℝ</mi><mi>ℒ</mi><mi>𝔤</mi><mn>𝟐</mn>");
    // A thin space is kept as text; ordinary spaces between tokens are not shown.
    EXPECT_EQ(Convert(MathRun("a\u2009b c")).MathMl,
              "<mi>a</mi><mtext>\u2009</mtext><mi>b</mi><mi>c</mi>");
}

TEST(OfficeMath, FractionsOfEveryType) {
    const auto fraction = [](const std::string& type) {
        return Convert("<m:f>" +
                       (type.empty() ? "" : "<m:fPr><m:type m:val=\"" + type + "\"/></m:fPr>") +
                       "<m:num>" + MathRun("a") + MathRun("b") + "</m:num><m:den>" + MathRun("2") +
                       "</m:den></m:f>");
    };
    const Converted bar = fraction("");
    EXPECT_EQ(bar.MathMl, "<mfrac><mrow><mi>a</mi><mi>b</mi></mrow><mn>2</mn></mfrac>");
    EXPECT_EQ(bar.Alttext, "(ab)/2");
    EXPECT_EQ(fraction("bar").MathMl, bar.MathMl);
    EXPECT_EQ(fraction("skw").MathMl,
              "<mfrac bevelled=\"true\"><mrow><mi>a</mi><mi>b</mi></mrow><mn>2</mn></mfrac>");
    EXPECT_EQ(fraction("lin").MathMl,
              "<mrow><mrow><mi>a</mi><mi>b</mi></mrow><mo>/</mo><mn>2</mn></mrow>");
    const Converted binomial = fraction("noBar");
    EXPECT_EQ(binomial.MathMl,
              "<mfrac linethickness=\"0\"><mrow><mi>a</mi><mi>b</mi></mrow><mn>2</mn></mfrac>");
    EXPECT_EQ(binomial.Alttext, "(ab)¦2");
}

TEST(OfficeMath, ScriptsBeforeAndAfter) {
    const Converted scripts = Convert(
        "<m:sSub><m:e>" + MathRun("x") + "</m:e><m:sub>" + MathRun("i") + "</m:sub></m:sSub>" +
        "<m:sSup><m:e>" + MathRun("y") + "</m:e><m:sup>" + MathRun("2") + "</m:sup></m:sSup>" +
        "<m:sSubSup><m:e>" + MathRun("R") + "</m:e><m:sub>" + MathRun("i") + "</m:sub><m:sup>" +
        MathRun("jk") + "</m:sup></m:sSubSup>" + "<m:sPre><m:sub>" + MathRun("k") +
        "</m:sub><m:sup>" + MathRun("n") + "</m:sup><m:e>" + MathRun("C") + "</m:e></m:sPre>");
    EXPECT_EQ(scripts.MathMl,
              "<msub><mi>x</mi><mi>i</mi></msub><msup><mi>y</mi><mn>2</mn></msup>"
              "<msubsup><mi>R</mi><mi>i</mi><mrow><mi>j</mi><mi>k</mi></mrow></msubsup>"
              "<mmultiscripts><mi>C</mi><mprescripts/><mi>k</mi><mi>n</mi></mmultiscripts>");
    // Scripts end an operand: what follows stands apart, so that "x_i y" is not "x_{iy}".
    EXPECT_EQ(scripts.Alttext, "x_i y^2 R_i^{jk} _k^n C");
    // An empty script is still there, as an empty row.
    EXPECT_EQ(Convert("<m:sSup><m:e>" + MathRun("y") + "</m:e><m:sup/></m:sSup>").MathMl,
              "<msup><mi>y</mi><mrow/></msup>");
}

TEST(OfficeMath, RadicalsWithTheirDegreeShownOrHidden) {
    const std::string radicand = "<m:e>" + MathRun("x") + Plain("+") + MathRun("1") + "</m:e>";
    const Converted square = Convert("<m:rad><m:radPr><m:degHide m:val=\"1\"/></m:radPr><m:deg>" +
                                     MathRun("5") + "</m:deg>" + radicand + "</m:rad>");
    EXPECT_EQ(square.MathMl, "<msqrt><mi>x</mi><mo>+</mo><mn>1</mn></msqrt>");
    EXPECT_EQ(square.Alttext, "√(x + 1)");
    EXPECT_EQ(Convert("<m:rad><m:deg/>" + radicand + "</m:rad>").MathMl, square.MathMl);
    const Converted cube =
        Convert("<m:rad><m:deg>" + MathRun("3") + "</m:deg>" + radicand + "</m:rad>");
    EXPECT_EQ(cube.MathMl, "<mroot><mrow><mi>x</mi><mo>+</mo><mn>1</mn></mrow><mn>3</mn></mroot>");
    EXPECT_EQ(cube.Alttext, "∛(x + 1)");
    EXPECT_EQ(
        Convert("<m:rad><m:deg>" + MathRun("n") + "</m:deg><m:e>" + MathRun("y") + "</m:e></m:rad>")
            .Alttext,
        "√[n]y");
}

TEST(OfficeMath, NaryOperatorsWithTheirLimits) {
    const std::string limits = "<m:sub>" + MathRun("i") + Plain("=") + MathRun("1") +
                               "</m:sub><m:sup>" + MathRun("n") + "</m:sup><m:e>" + MathRun("x") +
                               "</m:e>";
    // A sum's limits go under and over it by default, an integral's beside it.
    EXPECT_EQ(
        Convert("<m:nary><m:naryPr><m:chr m:val=\"∑\"/></m:naryPr>" + limits + "</m:nary>").MathMl,
        "<munderover><mo>∑</mo><mrow><mi>i</mi><mo>=</mo><mn>1</mn></mrow><mi>n</mi>"
        "</munderover><mi>x</mi>");
    EXPECT_EQ(Convert("<m:nary>" + limits + "</m:nary>").MathMl,
              "<msubsup><mo>∫</mo><mrow><mi>i</mi><mo>=</mo><mn>1</mn></mrow><mi>n</mi>"
              "</msubsup><mi>x</mi>");
    EXPECT_EQ(Convert("<m:nary><m:naryPr><m:chr m:val=\"∏\"/><m:limLoc m:val=\"subSup\"/>"
                      "<m:supHide m:val=\"1\"/></m:naryPr>" +
                      limits + "</m:nary>")
                  .MathMl,
              "<msub><mo>∏</mo><mrow><mi>i</mi><mo>=</mo><mn>1</mn></mrow></msub><mi>x</mi>");
    EXPECT_EQ(Convert("<m:nary><m:naryPr><m:chr m:val=\"∮\"/><m:subHide m:val=\"on\"/>"
                      "<m:supHide/></m:naryPr>" +
                      limits + "</m:nary>")
                  .MathMl,
              "<mo>∮</mo><mi>x</mi>");
}

TEST(OfficeMath, DelimitersWithTheirCharacters) {
    const std::string arguments =
        "<m:e>" + MathRun("x") + "</m:e><m:e>" + MathRun("y") + "</m:e></m:d>";
    const Converted round = Convert("<m:d>" + arguments);
    EXPECT_EQ(round.MathMl,
              "<mrow><mo fence=\"true\" form=\"prefix\" stretchy=\"true\">(</mo><mi>x</mi>"
              "<mo separator=\"true\">|</mo><mi>y</mi>"
              "<mo fence=\"true\" form=\"postfix\" stretchy=\"true\">)</mo></mrow>");
    EXPECT_EQ(round.Alttext, "(x|y)");
    // Characters set empty are left out: a brace that opens cases and closes nothing.
    const Converted cases = Convert(
        "<m:d><m:dPr><m:begChr m:val=\"{\"/><m:endChr m:val=\"\"/>"
        "<m:sepChr m:val=\",\"/></m:dPr>" +
        arguments);
    EXPECT_EQ(cases.MathMl,
              "<mrow><mo fence=\"true\" form=\"prefix\" stretchy=\"true\">{</mo><mi>x</mi>"
              "<mo separator=\"true\">,</mo><mi>y</mi></mrow>");
    EXPECT_EQ(cases.Alttext, "{x, y");
}

TEST(OfficeMath, AccentsBarsGroupCharactersAndLimits) {
    const Converted marks = Convert(
        "<m:acc><m:e>" + MathRun("e") + "</m:e></m:acc>" +
        "<m:acc><m:accPr><m:chr m:val=\"\u20D7\"/></m:accPr><m:e>" + MathRun("v") +
        "</m:e></m:acc>" + "<m:bar><m:barPr><m:pos m:val=\"top\"/></m:barPr><m:e>" + MathRun("z") +
        "</m:e></m:bar>" + "<m:bar><m:e>" + MathRun("ab") + "</m:e></m:bar>");
    EXPECT_EQ(marks.MathMl,
              "<mover accent=\"true\"><mi>e</mi><mo>ˆ</mo></mover>"
              "<mover accent=\"true\"><mi>v</mi><mo>→</mo></mover>"
              "<mover accent=\"true\"><mi>z</mi><mo>¯</mo></mover>"
              "<munder accentunder=\"true\"><mrow><mi>a</mi><mi>b</mi></mrow><mo>_</mo></munder>");
    // One character takes the combining mark; a line runs under every character it marks.
    EXPECT_EQ(marks.Alttext, "e\u0302v\u20D7z\u0304a\u0332b\u0332");
    const Converted braces = Convert(
        "<m:limLow><m:e><m:groupChr><m:e>" + MathRun("a") + Plain("+") + MathRun("b") +
        "</m:e></m:groupChr></m:e><m:lim>" + MathRun("n") + "</m:lim></m:limLow>" +
        "<m:limUpp><m:e><m:groupChr><m:groupChrPr><m:chr m:val=\"⏞\"/><m:pos m:val=\"top\"/>"
        "</m:groupChrPr><m:e>" +
        MathRun("x") + "</m:e></m:groupChr></m:e><m:lim>" + MathRun("m") + "</m:lim></m:limUpp>");
    EXPECT_EQ(braces.MathMl,
              "<munder><munder><mrow><mi>a</mi><mo>+</mo><mi>b</mi></mrow><mo>⏟</mo></munder>"
              "<mi>n</mi></munder><mover><mover><mi>x</mi><mo>⏞</mo></mover><mi>m</mi></mover>");
    EXPECT_EQ(braces.Alttext, "⏟(a + b)_n ⏞(x)^m");
}

TEST(OfficeMath, FunctionsAndLimitsOfFunctions) {
    // A function's name stands upright even when its runs say nothing of their style.
    const Converted sine = Convert("<m:func><m:fName>" + MathRun("sin") + "</m:fName><m:e>" +
                                   MathRun("θ") + "</m:e></m:func>");
    EXPECT_EQ(sine.MathMl, "<mrow><mi>sin</mi><mo>\u2061</mo><mi>θ</mi></mrow>");
    EXPECT_EQ(sine.Alttext, "sin θ");
    const Converted limit =
        Convert("<m:func><m:fName><m:limLow><m:e>" + Plain("lim") + "</m:e><m:lim>" + MathRun("n") +
                Plain("→") + Plain("∞") + "</m:lim></m:limLow></m:fName><m:e>" + MathRun("a") +
                "</m:e></m:func>");
    EXPECT_EQ(limit.MathMl,
              "<mrow><munder><mi>lim</mi><mrow><mi>n</mi><mo>→</mo>"
              "<mi mathvariant=\"normal\">∞</mi></mrow></munder><mo>\u2061</mo><mi>a</mi></mrow>");
    EXPECT_EQ(limit.Alttext, "lim_{n→∞} a");
}

TEST(OfficeMath, BoxesAndPhantoms) {
    EXPECT_EQ(Convert("<m:box><m:e>" + MathRun("d") + MathRun("x") + "</m:e></m:box>").MathMl,
              "<mrow><mi>d</mi><mi>x</mi></mrow>");
    const Converted boxed =
        Convert("<m:borderBox><m:e>" + MathRun("E") + "</m:e></m:borderBox>" +
                "<m:borderBox><m:borderBoxPr><m:hideTop/><m:hideLeft m:val=\"1\"/><m:strikeH/>"
                "</m:borderBoxPr><m:e>" +
                MathRun("F") + "</m:e></m:borderBox>");
    EXPECT_EQ(boxed.MathMl,
              "<menclose notation=\"box\"><mi>E</mi></menclose>"
              "<menclose notation=\"bottom right horizontalstrike\"><mi>F</mi></menclose>");
    EXPECT_EQ(Convert("<m:phant><m:phantPr><m:show m:val=\"0\"/></m:phantPr><m:e>" + MathRun("x") +
                      "</m:e></m:phant>")
                  .MathMl,
              "<mphantom><mrow><mi>x</mi></mrow></mphantom>");
}

TEST(OfficeMath, MatricesAndEquationArrays) {
    const Converted matrix = Convert(
        "<m:m><m:mPr><m:mcs><m:mc><m:mcPr><m:count m:val=\"1\"/><m:mcJc m:val=\"left\"/>"
        "</m:mcPr></m:mc><m:mc><m:mcPr><m:count m:val=\"1\"/><m:mcJc m:val=\"center\"/>"
        "</m:mcPr></m:mc></m:mcs></m:mPr>"
        "<m:mr><m:e>" +
        MathRun("a") + "</m:e><m:e>" + MathRun("b") + "</m:e></m:mr><m:mr><m:e>" + MathRun("c") +
        "</m:e><m:e>" + MathRun("d") + "</m:e></m:mr></m:m>");
    EXPECT_EQ(matrix.MathMl,
              "<mtable><mtr><mtd columnalign=\"left\"><mi>a</mi></mtd><mtd><mi>b</mi></mtd></mtr>"
              "<mtr><mtd columnalign=\"left\"><mi>c</mi></mtd><mtd><mi>d</mi></mtd></mtr>"
              "</mtable>");
    EXPECT_EQ(matrix.Alttext, "a, b; c, d");
    // Alignment marks cut each equation into a right and a left side.
    const Converted array = Convert("<m:eqArr><m:e>" + MathRun("f") + Plain("&amp;=") +
                                    MathRun("x") + "</m:e><m:e>" + MathRun("g") + Plain("&amp;=") +
                                    MathRun("y") + Plain("+") + MathRun("1") + "</m:e></m:eqArr>");
    EXPECT_EQ(array.MathMl,
              "<mtable displaystyle=\"true\"><mtr><mtd columnalign=\"right\"><mi>f</mi></mtd>"
              "<mtd columnalign=\"left\"><mo>=</mo><mi>x</mi></mtd></mtr>"
              "<mtr><mtd columnalign=\"right\"><mi>g</mi></mtd>"
              "<mtd columnalign=\"left\"><mo>=</mo><mi>y</mi><mo>+</mo><mn>1</mn></mtd></mtr>"
              "</mtable>");
    EXPECT_EQ(array.Alttext, "f = x; g = y + 1");
}

TEST(OfficeMath, TheLinearFormReadsAsTheEquation) {
    // ê_i = Σ_{j=1}^{n} e_j R_i^j, as Word writes it.
    const Converted sum = Convert(
        "<m:sSub><m:e><m:acc><m:accPr><m:chr m:val=\"\u0302\"/></m:accPr><m:e>" + MathRun("e") +
        "</m:e></m:acc></m:e><m:sub>" + MathRun("i") + "</m:sub></m:sSub>" + Plain("=") +
        "<m:nary><m:naryPr><m:chr m:val=\"∑\"/><m:limLoc m:val=\"undOvr\"/></m:naryPr><m:sub>" +
        MathRun("j") + Plain("=") + MathRun("1") + "</m:sub><m:sup>" + MathRun("n") +
        "</m:sup><m:e>" + "<m:sSub><m:e>" + MathRun("e") + "</m:e><m:sub>" + MathRun("j") +
        "</m:sub></m:sSub></m:e>" + "</m:nary><m:sSubSup><m:e>" + MathRun("R") + "</m:e><m:sub>" +
        MathRun("i") + "</m:sub><m:sup>" + MathRun("j") + "</m:sup></m:sSubSup>");
    EXPECT_EQ(sum.Alttext, "e\u0302_i = ∑_{j=1}^n e_j R_i^j");
    // The quadratic formula: a sign keeps to its operand, operators stand apart outside
    // scripts, parts of more than one character are grouped.
    const Converted roots = Convert(
        MathRun("x") + Plain("=") + "<m:f><m:num>" + Plain("−") + MathRun("b") + Plain("±") +
        "<m:rad><m:radPr><m:degHide m:val=\"1\"/></m:radPr><m:deg/><m:e><m:sSup><m:e>" +
        MathRun("b") + "</m:e><m:sup>" + MathRun("2") + "</m:sup></m:sSup>" + Plain("−") +
        MathRun("4ac") + "</m:e></m:rad></m:num><m:den>" + MathRun("2a") + "</m:den></m:f>");
    EXPECT_EQ(roots.Alttext, "x = (−b ± √(b^2 − 4ac))/(2a)");
    EXPECT_EQ(
        Convert(MathRun("Y") + Plain("=") + MathRun("-") + MathRun("X") + Plain(",") + MathRun("Z"))
            .Alttext,
        "Y = −X, Z");
}

TEST(OfficeMath, WhatIsNotUnderstoodKeepsItsTextAndIsCounted) {
    const Converted unknown = Convert(MathRun("a") + "<m:future><m:e>" + MathRun("b") +
                                      "</m:e></m:future><w:bookmarkStart w:id=\"1\"/>"
                                      "<m:ctrlPr><w:rPr/></m:ctrlPr>");
    EXPECT_EQ(unknown.MathMl, "<mi>a</mi><mtext>b</mtext>");
    EXPECT_EQ(unknown.NotUnderstood, 1u);
    // Fractions nested without end give their text below a depth, counted once.
    std::string nested = MathRun("z");
    for (int i = 0; i < 200; ++i) nested = "<m:f><m:num>" + nested + "</m:num><m:den/></m:f>";
    const Converted deep = Convert(nested);
    EXPECT_THAT(deep.MathMl, HasSubstr("<mtext>z</mtext>"));
    EXPECT_EQ(deep.NotUnderstood, 1u);
}

TEST(OfficeMath, DisplayEquationsAndTheirParagraphs) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        "<w:body>"
        "<w:p><w:pPr/><w:bookmarkStart/><w:r><w:t xml:space=\"preserve\"> </w:t></w:r>"
        "<m:oMath><m:r><m:t>x</m:t></m:r></m:oMath></w:p>"
        "<w:p><w:r><w:t>Let</w:t></w:r><m:oMath><m:r><m:t>x</m:t></m:r></m:oMath></w:p>"
        "<w:p><m:oMath><m:r><m:t>x</m:t></m:r></m:oMath><m:oMath/></w:p>"
        "<w:p><w:hyperlink><m:oMath><m:r><m:t>x</m:t></m:r></m:oMath></w:hyperlink>"
        "<w:del><w:r><w:delText>gone</w:delText></w:r></w:del></w:p>"
        "</w:body>"));
    std::vector<bool> alone;
    for (const pugi::xpath_node found : document.select_nodes("//m:oMath"))
        alone.push_back(StandsAlone(found.node()));
    EXPECT_EQ(alone, (std::vector<bool>{true, false, false, false, true}));
    std::size_t notUnderstood = 0;
    const MathElement math = OfficeMathToMathMl(
        document.first_child().first_child().child("m:oMath"), true, notUnderstood);
    EXPECT_EQ(MathMlMarkup(math, true),
              "<math xmlns=\"http://www.w3.org/1998/Math/MathML\" display=\"block\" "
              "alttext=\"x\"><mi>x</mi></math>");
}

}  // namespace
}  // namespace quirebook
