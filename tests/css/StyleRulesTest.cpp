// Tests of reading a style sheet as its rules and declarations.
#include "css/StyleRules.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::ElementsAre;

TEST(StyleRules, ReadsSelectorsDeclarationsAndTheirBytes) {
    const std::string css =
        "/* head */ div.a, p > b { color: red; MARGIN : 0 0 0 230px !important }\n"
        "h1{font-size:2em;;}";
    const std::vector<StyleRule> rules = ReadStyleRules(css);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].Selectors, "div.a, p > b");
    ASSERT_EQ(rules[0].Declarations.size(), 2u);
    const StyleDeclaration& margin = rules[0].Declarations[1];
    EXPECT_EQ(margin.Property, "margin");
    EXPECT_EQ(margin.Value, "0 0 0 230px");
    EXPECT_TRUE(margin.Important);
    EXPECT_EQ(css.substr(margin.Begin, margin.End - margin.Begin),
              "MARGIN : 0 0 0 230px !important ");
    EXPECT_EQ(css.substr(margin.ValueBegin, margin.ValueEnd - margin.ValueBegin), "0 0 0 230px");
    EXPECT_EQ(css.substr(rules[0].Declarations[0].Begin,
                         rules[0].Declarations[0].End - rules[0].Declarations[0].Begin),
              "color: red;");
    EXPECT_EQ(css.substr(rules[1].Begin, rules[1].End - rules[1].Begin), "h1{font-size:2em;;}");
    EXPECT_THAT(rules[1].Declarations.size(), 1u);
    EXPECT_FALSE(rules[1].Declarations[0].Important);
}

TEST(StyleRules, CommentsStringsAndBracketsDoNotEndARule) {
    const std::vector<StyleRule> rules = ReadStyleRules(
        "a[title=\"}{;\"] { content: \"a;b}\"; background: url(x;y.png) } "
        "/* b { color: red } */ q::before { content: '\\'' }");
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].Selectors, "a[title=\"}{;\"]");
    ASSERT_EQ(rules[0].Declarations.size(), 2u);
    EXPECT_EQ(rules[0].Declarations[0].Value, "\"a;b}\"");
    EXPECT_EQ(rules[0].Declarations[1].Value, "url(x;y.png)");
    EXPECT_EQ(rules[1].Selectors, "q::before");
    EXPECT_EQ(rules[1].Declarations[0].Value, "'\\''");
}

TEST(StyleRules, RulesInsideMediaAndSupportsCarryTheirConditionsOtherAtRulesAreSkipped) {
    const std::vector<StyleRule> rules = ReadStyleRules(
        "@charset \"utf-8\"; @import url(a.css) screen;\n"
        "@font-face { font-family: X; src: url(x.woff) }\n"
        "@media print { div.nav { display: none } @supports (display: grid) { p { x: 1 } } }\n"
        "@keyframes spin { from { top: 0 } to { top: 1px } }\n"
        "<!-- body { margin: 0 } -->");
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0].Selectors, "div.nav");
    EXPECT_THAT(rules[0].Conditions, ElementsAre("@media print"));
    EXPECT_THAT(rules[1].Conditions, ElementsAre("@media print", "@supports (display: grid)"));
    EXPECT_EQ(rules[2].Selectors, "body");
    EXPECT_TRUE(rules[2].Conditions.empty());
}

TEST(StyleRules, AValuesBytesLeaveOutTheBlanksAroundItAndTheImportantMark) {
    const std::string css =
        "p { width :\t12px /* x */ ; margin-left: 1em!IMPORTANT; a/*:*/b: c; top:}"
        "q { color: red ! important /* wow! */ }";
    const std::vector<StyleRule> rules = ReadStyleRules(css);
    ASSERT_EQ(rules.size(), 2u);
    std::vector<std::string> values;
    for (const StyleRule& rule : rules)
        for (const StyleDeclaration& declaration : rule.Declarations)
            values.push_back(
                css.substr(declaration.ValueBegin, declaration.ValueEnd - declaration.ValueBegin));
    EXPECT_THAT(values, ElementsAre("12px /* x */", "1em", "c", "", "red"));
}

TEST(StyleRules, ASheetCutShortEndsItsLastRuleAtTheEnd) {
    const std::vector<StyleRule> rules = ReadStyleRules("p { color: red; margin: 0");
    ASSERT_EQ(rules.size(), 1u);
    ASSERT_EQ(rules[0].Declarations.size(), 2u);
    EXPECT_EQ(rules[0].Declarations[1].Value, "0");
    EXPECT_TRUE(ReadStyleRules("p, q").empty());
    EXPECT_TRUE(ReadStyleRules("} } p").empty());
    EXPECT_TRUE(ReadStyleRules("@media screen { p { x: 1 }").size() == 1);
}

TEST(StyleRules, SplitsSelectorListsOutsideBracketsAndStrings) {
    EXPECT_THAT(SplitSelectorList(" div.a , p:not(.x, .y), a[title=\"a,b\"] "),
                ElementsAre("div.a", "p:not(.x, .y)", "a[title=\"a,b\"]"));
    EXPECT_TRUE(SplitSelectorList("").empty());
}

TEST(StyleRules, RulesApplyOnEveryScreenOnlyWithoutASizeOrPrintCondition) {
    EXPECT_TRUE(AppliesOnEveryScreen({}));
    EXPECT_TRUE(AppliesOnEveryScreen({"@media screen"}));
    EXPECT_TRUE(AppliesOnEveryScreen({"@media print, Screen"}));
    EXPECT_TRUE(AppliesOnEveryScreen({"@supports (display: grid)", "@media all"}));
    EXPECT_FALSE(AppliesOnEveryScreen({"@media print"}));
    EXPECT_FALSE(AppliesOnEveryScreen({"@media (max-width: 1023px)"}));
    EXPECT_FALSE(AppliesOnEveryScreen({"@media screen and (min-width: 40em)"}));
    EXPECT_FALSE(AppliesOnEveryScreen({"@media all", "@media print"}));
}

}  // namespace
}  // namespace quirebook
