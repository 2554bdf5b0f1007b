// Tests of making style text valid for books: rules and declarations a CSS parser drops are
// left out with every other byte kept, what is open at the end is closed, and in EPUB 3 the
// direction properties are taken out with what they applied to.
#include "css/StyleSheetRepair.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "css/CssTokens.h"
#include "css/SelectorSyntax.h"

namespace quirebook {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Fault(const std::string& selectors) {
    const std::vector<CssToken> tokens = ReadCssTokens(selectors);
    return SelectorListFault(selectors, tokens, 0, tokens.size());
}

std::vector<std::string> NoteTexts(const RepairedStyle& repaired) {
    std::vector<std::string> texts;
    for (const StyleRepairNote& note : repaired.Notes)
        texts.push_back(std::to_string(note.Line) + ": " + note.Text);
    return texts;
}

TEST(CssTokens, NumbersHashesUrlsAndStringsAreReadAsCssReadsThem) {
    const std::string css = ".1 #1a #a1 url( a.png ) url(a b) url(\"q\") \"a\\\nb\" -->x";
    std::vector<std::string> kinds;
    for (const CssToken& token : ReadCssTokens(css)) {
        if (token.Type == CssTokenType::Whitespace) continue;
        const std::string text = css.substr(token.Begin, token.End - token.Begin);
        switch (token.Type) {
            case CssTokenType::Number:
                kinds.push_back("number " + text);
                break;
            case CssTokenType::Hash:
                kinds.push_back((token.IdHash ? "id " : "hash ") + text);
                break;
            case CssTokenType::Url:
                kinds.push_back("url " + text);
                break;
            case CssTokenType::BadUrl:
                kinds.push_back("bad url " + text);
                break;
            case CssTokenType::Function:
                kinds.push_back("function " + text);
                break;
            case CssTokenType::String:
                kinds.push_back(std::string(token.EscapedLineEnd ? "continued " : "") + "string");
                break;
            case CssTokenType::Cdc:
                kinds.push_back("cdc");
                break;
            default:
                kinds.push_back(text);
        }
    }
    EXPECT_THAT(kinds, ElementsAre("number .1", "hash #1a", "id #a1", "url url( a.png )",
                                   "bad url url(a b)", "function url(", "string", ")",
                                   "continued string", "cdc", "x"));
    EXPECT_EQ(CssTokenName("DIR\\65 ction", ReadCssTokens("DIR\\65 ction")[0]), "direction");
}

TEST(SelectorSyntax, ValidSelectorsPassAndEachInvalidKindIsNamed) {
    for (const char* valid :
         {"p", "ol.a, ul > li + li ~ li", "*|p, svg|a, |p, *", "a[href^=\"x\"], a[lang|=en], [ x ]",
          "p:hover::before, p::-moz-selection",
          "li:nth-child(2n+1), p:lang(fr), p:nth-of-type(-n+3)",
          "p:not(.a), p:not([x]), p:not(:hover)", ".\\31 a, #\\31 a, .-a, .--a, .é, #-x",
          "html>/**/body p", "p /* x */ .a"})
        EXPECT_EQ(Fault(valid), "") << valid;
    EXPECT_THAT(Fault("ol.1"), HasSubstr("\".1\""));
    for (const char* invalid : {"#1a",          ".1a",
                                ".-1",          "p..a",
                                "p[",           "p]",
                                "p)",           "p, , q",
                                "p,",           "",
                                "p >> q",       "p >",
                                "> p",          "p & q",
                                "div%",         "p#",
                                "p:",           "p:is(.a, .b)",
                                "p:not(a.b)",   "p:not(.a, .b)",
                                "[x=1]",        "[type=checkbox i]",
                                "p:has(> img)", "p q r ; s",
                                "50%"})
        EXPECT_NE(Fault(invalid), "") << invalid;
}

TEST(StyleSheetRepair, InvalidSelectorsLeaveTheirRulesOutAndEveryOtherByteStays) {
    const std::string css =
        "p { color: red }\n"
        "ol.1 { list-style: decimal }\n"
        "#1a { color: blue } q::before { content: \"}\" }\n"
        "a[x=\"{\"], p] { color: green }\n"
        "/* ol.2 { } */ .\\31 { color: gray }";
    const RepairedStyle repaired = RepairStyleSheet(css, false);
    EXPECT_EQ(repaired.Text,
              "p { color: red }\n"
              "\n"
              " q::before { content: \"}\" }\n"
              "\n"
              "/* ol.2 { } */ .\\31 { color: gray }");
    EXPECT_THAT(NoteTexts(repaired),
                ElementsAre("2: the rule \"ol.1\" is left out: its selector is not valid CSS "
                            "(\".1\" cannot stand here)",
                            "3: the rule \"#1a\" is left out: its selector is not valid CSS "
                            "(\"#1a\" cannot stand here)",
                            "4: the rule \"a[x=\"{\"], p]\" is left out: its selector is not "
                            "valid CSS (\"]\" cannot stand here)"));
}

TEST(StyleSheetRepair, ABadDeclarationGoesAloneTheGoodOnesAroundItStay) {
    const std::string css =
        "p { color: red; *zoom: 1; width: 0 }\n"
        "q { margin: 0;; --x: {a:b}; top: 1px; : x; font: 12px/1.5 \"A\", serif !important }\n"
        "r { content: \"a\\\nb\"; b: url(); c: url(x y); filter: progid:X.Y(a=1); d: 1 }\n"
        "s { color: blue; @media print { color: red } e: f }";
    const RepairedStyle repaired = RepairStyleSheet(css, false);
    EXPECT_EQ(repaired.Text,
              "p { color: red;  width: 0 }\n"
              "q { margin: 0;  top: 1px;  font: 12px/1.5 \"A\", serif !important }\n"
              "r {    filter: progid:X.Y(a=1); d: 1 }\n"
              "s { color: blue;  e: f }");
    EXPECT_THAT(
        NoteTexts(repaired),
        ElementsAre("1: the text \"*zoom: 1\" is left out: it is no declaration",
                    "2: an empty declaration (a \";\" alone) is left out",
                    "2: the declaration \"--x: {a:b}\" is left out: \"{\" cannot stand in it",
                    "2: the text \": x\" is left out: it is no declaration",
                    "3: the declaration \"content: \"a\\\nb\"\" is left out: a string in it "
                    "runs over a line end",
                    "4: the declaration \"b: url()\" is left out: its url() is empty",
                    "4: the declaration \"c: url(x y)\" is left out: a url() in it is broken",
                    "5: the at-rule \"@media print\" inside a declaration block is left out"));
}

TEST(StyleSheetRepair, NestedAtRulesCommentsAndStringsHoldingBracesAreReadAsBlocksAreWritten) {
    const std::string css =
        "@media screen { @media (min-width: 1px) { ol.1 { a: b } p { c: d } } q { e: f } }\n"
        "@media print { p { g: h }; i { j: k } }\n"
        "/* } { */ a[title='}{'] { content: '{' } /* ol.1 { } */\n"
        "@font-face { font-family: X; src: url(x.woff) }\n"
        "@keyframes spin { from { top: 0 } 50% { top: 1px } ol.1 { top: 2px } }\n"
        "@import url(a.css) screen; @charset \"x\";";
    const RepairedStyle repaired = RepairStyleSheet(css, false);
    EXPECT_EQ(repaired.Text,
              "@media screen { @media (min-width: 1px) {  p { c: d } } q { e: f } }\n"
              "@media print { p { g: h } }\n"
              "/* } { */ a[title='}{'] { content: '{' } /* ol.1 { } */\n"
              "@font-face { font-family: X; src: url(x.woff) }\n"
              "@keyframes spin { from { top: 0 } 50% { top: 1px }  }\n"
              "@import url(a.css) screen; @charset \"x\";");
    ASSERT_EQ(repaired.Notes.size(), 3u);
    EXPECT_EQ(repaired.Notes[1].Line, 2u);
    EXPECT_THAT(repaired.Notes[1].Text, HasSubstr("\"; i\""));
    EXPECT_EQ(repaired.Notes[2].Line, 5u);
}

TEST(StyleSheetRepair, StrayBracesSwallowTheNextRuleAndWhatIsOpenAtTheEndIsClosed) {
    // A "}" that closes nothing starts a rule of its own, as a CSS parser reads it.
    EXPECT_EQ(RepairStyleSheet("p { a: b } }\nq { c: d }\nr { e: f }", false).Text,
              "p { a: b } \nr { e: f }");
    // A "(" never closed takes the rest of the sheet into a rule without a block.
    EXPECT_EQ(RepairStyleSheet("p { a: b }\nq:hover( { c: d }\nr { e: f }", false).Text,
              "p { a: b }\n");
    const RepairedStyle cut = RepairStyleSheet("p { a: b }\n@media print { q { c: f(x", false);
    EXPECT_EQ(cut.Text, "p { a: b }\n@media print { q { c: f(x)}}");
    EXPECT_THAT(NoteTexts(cut), ElementsAre("2: the text ends before what it opened is closed: "
                                            "\")}}\" is added at its end"));
    EXPECT_EQ(RepairStyleSheet("p { content: \"a", false).Text, "p { content: \"a\"}");
    EXPECT_EQ(RepairStyleSheet("p { a: b } /* note", false).Text, "p { a: b } /* note*/");
    // A string broken by a line end takes its declaration, and what follows up to the end.
    EXPECT_EQ(RepairStyleSheet("p { a: b; content: \"x; c: d }\nq { e: f }\n", false).Text,
              "p { a: b; }");
}

TEST(StyleSheetRepair, CommentsTouchingASelectorsPartsGoTheSelectorStays) {
    const RepairedStyle repaired =
        RepairStyleSheet("p/* x */.a, q/**/ { a: b } html>/**/body, p:/**/hover { c: d }", false);
    EXPECT_EQ(repaired.Text, "p.a, q { a: b } html>/**/body, p:/**/hover { c: d }");
    EXPECT_THAT(NoteTexts(repaired),
                ElementsAre("1: a comment inside the selector \"p.a, q\" is left out"));
}

TEST(StyleSheetRepair, FontSizesAndEmptyReferencesEpubcheckRejectsAreMendedOrLeftOut) {
    const RepairedStyle repaired = RepairStyleSheet(
        "a { font-size: unset } b { font-size: INITIAL !important } c { font-size: 1q }\n"
        "d { font-size: 12; color: red } e { font: bold var(--f) } f { font: 700 1.2em/1.4 A }\n"
        "g { font-size: 0; font-size: calc(1em + 2px); font-size: 110%; font-size: larger }\n"
        "h { background: url(\"\") } @import '  '; @import url(x.css);",
        false);
    EXPECT_EQ(repaired.Text,
              "a { font-size: inherit } b { font-size: medium !important } c { }\n"
              "d {  color: red } e { } f { font: 700 1.2em/1.4 A }\n"
              "g { font-size: 0; font-size: calc(1em + 2px); font-size: 110%; font-size: larger }\n"
              "h { }  @import url(x.css);");
    ASSERT_EQ(repaired.Notes.size(), 7u);
    EXPECT_EQ(NoteTexts(repaired)[2],
              "1: the declaration \"font-size: 1q\" is left out: "
              "epubcheck does not take \"1q\" for a font size");
    EXPECT_EQ(NoteTexts(repaired)[5],
              "4: the declaration \"background: url(\"\")\" is left "
              "out: its url() is empty");
}

TEST(StyleSheetRepair, DirectionGoesOnlyWhenAskedWithWhatItAppliedTo) {
    const std::string css =
        "p.rtl { text-align: right; direction: rtl; unicode-bidi: embed }\n"
        "code { DIRECTION : LTR !important }\n"
        "@media print { p { direction: rtl } }\n"
        "@media screen { a:hover { direction: ltr } }";
    const RepairedStyle kept = RepairStyleSheet(css, false);
    EXPECT_EQ(kept.Text, css);
    EXPECT_THAT(kept.Notes, IsEmpty());
    const RepairedStyle repaired = RepairStyleSheet(css, true);
    EXPECT_EQ(repaired.Text,
              "p.rtl { text-align: right;  }\n"
              "code { }\n"
              "@media print { p { } }\n"
              "@media screen { a:hover { } }");
    EXPECT_EQ(repaired.DirectionDeclarations, 5u);
    std::vector<std::string> directions;
    for (const DirectionDeclaration& d : repaired.Directions)
        directions.push_back(d.Selectors + " " + d.Value + (d.Important ? " important" : "") +
                             (d.OnEveryScreen ? "" : " not-every-screen"));
    EXPECT_THAT(directions, ElementsAre("p.rtl rtl", "code ltr important", "p rtl not-every-screen",
                                        "a:hover ltr"));
}

TEST(StyleSheetRepair, AStyleAttributeIsADeclarationBlockWhoseEmptyDeclarationsMayStay) {
    const RepairedStyle repaired =
        RepairStyleAttribute(";color: red;; *zoom: 1; direction: rtl; unicode-bidi: embed", true);
    EXPECT_EQ(repaired.Text, ";color: red;;   ");
    ASSERT_EQ(repaired.Directions.size(), 1u);
    EXPECT_EQ(repaired.Directions[0].Selectors, "");
    EXPECT_EQ(repaired.Directions[0].Value, "rtl");
    EXPECT_EQ(RepairStyleAttribute("width: calc(100% - 2px", false).Text,
              "width: calc(100% - 2px)");
}

}  // namespace
}  // namespace quirebook
